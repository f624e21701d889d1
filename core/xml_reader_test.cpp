#include "core/xml_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace brisvel {
namespace {

XmlDocument Read(std::string_view text, const XmlLimits& limits = {}, size_t pieceSize = 4096) {
  XmlDocument document;
  XmlReader reader(document, limits);
  for (size_t at = 0; at < text.size(); at += pieceSize) reader.Feed(text.substr(at, pieceSize));
  reader.Finish();
  return document;
}

std::string ChildNames(const XmlDocument& document) {
  std::string names;
  for (const XmlElement& child : document.children) names += child.name + ";";
  return names;
}

std::string Repeat(std::string_view text, size_t times) {
  std::string result;
  for (size_t i = 0; i < times; ++i) result += text;
  return result;
}

TEST(XmlReaderTest, KeepsTheRootAndItsChildrenUpToAFault) {
  XmlDocument document = Read(
      "<?xml version=\"1.0\"?>\n<!-- c --><Root v=\"1\" w='&lt;2&#233;'>text"
      "<a z=\"1\" y=\"2\"><deep keep=\"no\"><deeper/></deep></a><b/>tail</Root>\n",
      {}, 3);
  EXPECT_TRUE(document.complete);
  EXPECT_EQ(document.root.name, "Root");
  EXPECT_EQ(document.root.Attribute("w"), "<2\xC3\xA9");
  EXPECT_EQ(ChildNames(document), "a;b;");
  ASSERT_EQ(document.children[0].attributes.size(), 2u);
  EXPECT_EQ(document.children[0].attributes[0].first, "z");

  document = Read("<r><a/><b x=\"1\"/><c y=\"oops/><d/></r>");
  EXPECT_FALSE(document.complete);
  EXPECT_EQ(ChildNames(document), "a;b;");
}

TEST(XmlReaderTest, StopsAtTheLimitsOfWhatIsKept) {
  XmlLimits limits;
  limits.maxChildren = 3;
  EXPECT_EQ(ChildNames(Read("<r><a/><b/><c/><d/></r>", limits)), "a;b;c;");
  limits = {};
  limits.maxKeptBytes = 20;  // r, a k 123456: 9 bytes; b k 1234567890: 12 more
  XmlDocument document = Read("<r><a k=\"123456\"/><b k=\"1234567890\"/><c/></r>", limits);
  EXPECT_FALSE(document.complete);
  EXPECT_EQ(ChildNames(document), "a;");
}

TEST(XmlReaderTest, StopsAtMarkupLongerThanTheLimitButNotAtLongText) {
  XmlLimits limits;
  limits.maxMarkupBytes = 200'000;
  std::string shortComment = "<!--" + std::string(150'000, '.') + "-->";
  std::string longComment = "<!--" + std::string(250'000, '.') + "-->";
  EXPECT_EQ(ChildNames(Read("<r><a/>" + shortComment + "<b/></r>", limits)), "a;b;");
  EXPECT_EQ(ChildNames(Read("<r><a/>" + longComment + "<b/></r>", limits)), "a;");
  EXPECT_EQ(ChildNames(Read("<r><a/>" + std::string(1'000'000, 'x') + "<b/></r>", limits)), "a;b;");
}

TEST(XmlReaderTest, StopsWhenNestingOutgrowsTheParserMemory) {
  std::string nested = Repeat("<x>", 100'000) + Repeat("</x>", 100'000);
  EXPECT_EQ(ChildNames(Read("<r><a/><b>" + nested + "</b><c/></r>")), "a;b;c;");
  XmlLimits limits;
  limits.maxParserBytes = 1 << 20;
  XmlDocument document = Read("<r><a/><b>" + nested + "</b><c/></r>", limits);
  EXPECT_FALSE(document.complete);
  EXPECT_EQ(ChildNames(document), "a;b;");
}

}  // namespace
}  // namespace brisvel
