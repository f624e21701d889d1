// A shallow XML reader for the program's small documents: it keeps the root element and the
// root's child elements, each with its name and attributes, and passes over everything else.
// It reads any input in bounded memory and time: past one of its limits it stops as it does
// at a syntax error, keeping what it has read up to that point.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brisvel {

struct XmlElement {
  std::string name;
  // In document order; names and values in UTF-8 with references replaced.
  std::vector<std::pair<std::string, std::string>> attributes;

  // The value of the attribute named exactly `name`; "" when there is none.
  std::string Attribute(std::string_view name) const;
};

struct XmlDocument {
  bool hasRoot = false;
  XmlElement root;
  // The root's child elements in document order; their own children are not kept.
  std::vector<XmlElement> children;
  // True when the whole input was a well-formed document; false when reading stopped early
  // at an error or a limit.
  bool complete = false;
  // When a limit stopped the reading: that limit, for a message ("the limit of 8 MiB for one
  // tag"); empty otherwise.
  std::string limitHit;
};

struct XmlLimits {
  // Child elements of the root that are kept.
  size_t maxChildren = 100'000;
  // Bytes of names and attribute text that are kept.
  size_t maxKeptBytes = size_t{64} << 20;
  // The longest stretch of input in which no piece of markup ends (one tag, comment or
  // declaration). It bounds the time the parser spends on a piece that arrives in blocks,
  // and leaves room for a filter of several megabytes.
  size_t maxMarkupBytes = size_t{8} << 20;
  // Memory the parser itself may hold: its buffer, open elements, declarations.
  size_t maxParserBytes = size_t{128} << 20;
};

struct XmlReaderState;

// Reads one document given in pieces of any size.
class XmlReader {
 public:
  explicit XmlReader(XmlDocument& document, const XmlLimits& limits = {});
  ~XmlReader();
  XmlReader(const XmlReader&) = delete;
  XmlReader& operator=(const XmlReader&) = delete;

  // False when no parser could be created; the reader then reads nothing.
  bool Ok() const;
  // Reads the next piece. Returns false once reading has stopped (at an error or a limit);
  // later pieces are then ignored.
  bool Feed(std::string_view piece);
  // Ends the input and settles XmlDocument::complete.
  void Finish();

 private:
  std::unique_ptr<XmlReaderState> state_;
};

enum class XmlFileResult { kRead, kCannotRead, kEmpty, kNoParser };

// Reads the file at `path` in blocks into `document`. Only kRead leaves a document worth
// looking at; kCannotRead covers files that cannot be opened and read errors.
XmlFileResult ReadXmlFile(const std::string& path, XmlDocument& document,
                          const XmlLimits& limits = {});

}  // namespace brisvel
