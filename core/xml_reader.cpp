#include "core/xml_reader.h"

#include <expat.h>

#include <cstdio>
#include <vector>

#include "core/memory_budget.h"
#include "core/open_file.h"

namespace brisvel {

// Input is handed to the parser in pieces of at most this size, so that the markup limit is
// checked often enough and a piece always fits the parser's int length.
static constexpr size_t kPieceBytes = size_t{64} << 10;

std::string XmlElement::Attribute(std::string_view name) const {
  for (const auto& [key, value] : attributes) {
    if (key == name) return value;
  }
  return std::string();
}

struct XmlReaderState {
  XmlReaderState(XmlDocument& document, const XmlLimits& limits)
      : document(document), limits(limits), memory(limits.maxParserBytes) {}

  XmlDocument& document;
  XmlLimits limits;
  MemoryBudget memory;
  XML_Parser parser = nullptr;
  size_t depth = 0;
  size_t keptBytes = 0;
  size_t fed = 0;            // bytes handed to the parser so far
  size_t pieceStart = 0;     // value of `fed` before the piece being parsed
  size_t lastMarkupEnd = 0;  // `pieceStart` of the last piece in which markup ended
  bool stopped = false;

  void Stop(std::string limit) {
    document.limitHit = std::move(limit);
    stopped = true;
    XML_StopParser(parser, XML_FALSE);
  }
  bool Parse(const char* data, size_t size, bool last) {
    MemoryBudget::Scope scope(memory);
    if (XML_Parse(parser, data, static_cast<int>(size), last) == XML_STATUS_OK) return true;
    if (XML_GetErrorCode(parser) == XML_ERROR_NO_MEMORY && document.limitHit.empty()) {
      document.limitHit = "the limit of " + Mebibytes(limits.maxParserBytes) + " of memory";
    }
    return false;
  }
  static std::string Mebibytes(size_t bytes) { return std::to_string(bytes >> 20) + " MiB"; }
};

namespace {

using State = XmlReaderState;

// Keeps the element that has just started at depth 1 (the root) or 2 (a child of the root).
// Stops the reading when a limit does not allow it.
void KeepElement(State& state, const XML_Char* name, const XML_Char** attributes) {
  XmlElement element;
  element.name = name;
  size_t bytes = element.name.size();
  for (const XML_Char** pair = attributes; pair[0] != nullptr; pair += 2) {
    element.attributes.emplace_back(pair[0], pair[1]);
    bytes += element.attributes.back().first.size() + element.attributes.back().second.size();
  }
  if (bytes > state.limits.maxKeptBytes - state.keptBytes) {
    return state.Stop("the limit of " + State::Mebibytes(state.limits.maxKeptBytes) +
                      " of names and settings");
  }
  XmlDocument& document = state.document;
  if (state.depth == 1) {
    document.hasRoot = true;
    document.root = std::move(element);
  } else {
    if (document.children.size() >= state.limits.maxChildren) {
      return state.Stop("the limit of " + std::to_string(state.limits.maxChildren) + " entries");
    }
    document.children.push_back(std::move(element));
  }
  state.keptBytes += bytes;
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  auto& state = *static_cast<State*>(data);
  state.lastMarkupEnd = state.pieceStart;
  ++state.depth;
  if (state.depth <= 2) KeepElement(state, name, attributes);
}

void XMLCALL OnEnd(void* data, const XML_Char*) {
  auto& state = *static_cast<State*>(data);
  state.lastMarkupEnd = state.pieceStart;
  --state.depth;
}

// Everything that is not a tag (text, comments, declarations) comes here.
void XMLCALL OnOther(void* data, const XML_Char*, int) {
  auto& state = *static_cast<State*>(data);
  state.lastMarkupEnd = state.pieceStart;
}

}  // namespace

XmlReader::XmlReader(XmlDocument& document, const XmlLimits& limits)
    : state_(std::make_unique<XmlReaderState>(document, limits)) {
  static const XML_Memory_Handling_Suite kSuite = {MemoryBudget::Allocate, MemoryBudget::Reallocate,
                                                   MemoryBudget::Release};
  MemoryBudget::Scope scope(state_->memory);
  XML_Parser parser = XML_ParserCreate_MM(nullptr, &kSuite, nullptr);
  state_->parser = parser;
  if (parser == nullptr) {
    state_->stopped = true;
    return;
  }
  XML_SetUserData(parser, state_.get());
  XML_SetElementHandler(parser, OnStart, OnEnd);
  // The expanding form keeps entity references working as without a handler.
  XML_SetDefaultHandlerExpand(parser, OnOther);
}

XmlReader::~XmlReader() {
  if (state_->parser != nullptr) XML_ParserFree(state_->parser);
}

bool XmlReader::Ok() const {
  return state_->parser != nullptr;
}

bool XmlReader::Feed(std::string_view piece) {
  XmlReaderState& state = *state_;
  while (!state.stopped && !piece.empty()) {
    std::string_view part = piece.substr(0, kPieceBytes);
    piece.remove_prefix(part.size());
    state.pieceStart = state.fed;
    state.fed += part.size();
    if (!state.Parse(part.data(), part.size(), false)) state.stopped = true;
    if (!state.stopped && state.fed - state.lastMarkupEnd > state.limits.maxMarkupBytes) {
      state.document.limitHit =
          "the limit of " + State::Mebibytes(state.limits.maxMarkupBytes) + " for one tag";
      state.stopped = true;
    }
  }
  return !state.stopped;
}

void XmlReader::Finish() {
  XmlReaderState& state = *state_;
  if (!state.stopped && state.Parse(nullptr, 0, true)) state.document.complete = true;
  state.stopped = true;
}

XmlFileResult ReadXmlFile(const std::string& path, XmlDocument& document, const XmlLimits& limits) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFile(path, "rb"), std::fclose);
  if (!file) return XmlFileResult::kCannotRead;
  XmlReader reader(document, limits);
  if (!reader.Ok()) return XmlFileResult::kNoParser;
  std::vector<char> block(kPieceBytes);
  size_t total = 0;
  bool reading = true;
  while (reading) {
    size_t got = std::fread(block.data(), 1, block.size(), file.get());
    total += got;
    reading = got > 0 && reader.Feed(std::string_view(block.data(), got));
  }
  if (std::ferror(file.get())) return XmlFileResult::kCannotRead;
  if (total == 0) return XmlFileResult::kEmpty;
  reader.Finish();
  return XmlFileResult::kRead;
}

}  // namespace brisvel
