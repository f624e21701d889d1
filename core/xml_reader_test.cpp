#include "core/xml_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/test_util.h"

namespace brisvel {
namespace {

XmlDocument Read(std::string_view text, const XmlLimits& limits = {}, size_t pieceSize = 0) {
  XmlDocument document;
  XmlReader reader(document, limits);
  EXPECT_TRUE(reader.Ok());
  if (pieceSize == 0) pieceSize = text.size() + 1;
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
  result.reserve(text.size() * times);
  for (size_t i = 0; i < times; ++i) result += text;
  return result;
}

TEST(XmlReaderTest, KeepsTheRootAndItsChildrenWithAttributesInOrder) {
  XmlDocument document = Read(
      "<?xml version=\"1.0\"?>\n<!-- c --><Root v=\"1\" w='&lt;2&#233;'>text"
      "<a z=\"1\" y=\"2\"><deep keep=\"no\"><deeper/></deep></a><b/>tail</Root>\n");
  EXPECT_TRUE(document.complete);
  ASSERT_TRUE(document.hasRoot);
  EXPECT_EQ(document.root.name, "Root");
  EXPECT_EQ(document.root.Attribute("w"), "<2\xC3\xA9");
  EXPECT_EQ(document.root.Attribute("W"), "");
  EXPECT_EQ(ChildNames(document), "a;b;");
  ASSERT_EQ(document.children[0].attributes.size(), 2u);
  EXPECT_EQ(document.children[0].attributes[0].first, "z");
  EXPECT_EQ(document.children[0].attributes[1].first, "y");
}

TEST(XmlReaderTest, StopsAtAFaultKeepingWhatCameBefore) {
  XmlDocument document = Read("<r><a/><b x=\"1\"/><c y=\"oops/><d/></r>");
  EXPECT_FALSE(document.complete);
  EXPECT_EQ(ChildNames(document), "a;b;");
  EXPECT_FALSE(Read("").hasRoot);
  EXPECT_FALSE(Read("just text").hasRoot);
  EXPECT_FALSE(Read("<r></s>").complete);
}

TEST(XmlReaderTest, PiecesOfAnySizeGiveTheSameDocument) {
  const std::string text =
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!DOCTYPE r>"
      "<r a=\"\xE6\x97\xA5\"><x q=\"&amp;&#x41;\"/><y><z/></y><w p=\"1\" q=\"2\"/></r>";
  XmlDocument whole = Read(text);
  EXPECT_TRUE(whole.complete);
  for (size_t piece : {1, 2, 3, 7}) {
    XmlDocument split = Read(text, {}, piece);
    EXPECT_EQ(split.complete, whole.complete);
    EXPECT_EQ(split.root.Attribute("a"), "\xE6\x97\xA5");
    ASSERT_EQ(ChildNames(split), "x;y;w;") << piece;
    EXPECT_EQ(split.children.front().Attribute("q"), "&A");
  }
}

TEST(XmlReaderTest, StopsAtTheChildLimit) {
  XmlLimits limits;
  limits.maxChildren = 3;
  XmlDocument document = Read("<r><a/><b/><c/><d/><e/></r>", limits);
  EXPECT_FALSE(document.complete);
  EXPECT_EQ(ChildNames(document), "a;b;c;");
}

TEST(XmlReaderTest, StopsAtTheKeptTextLimit) {
  XmlLimits limits;
  limits.maxKeptBytes = 20;  // "r" + "a"+"k"+"123456" = 9, then "b"+"k"+"1234567890" = 21
  XmlDocument document = Read("<r><a k=\"123456\"/><b k=\"1234567890\"/><c/></r>", limits);
  EXPECT_FALSE(document.complete);
  EXPECT_EQ(ChildNames(document), "a;");
}

TEST(XmlReaderTest, StopsAtMarkupLongerThanTheLimit) {
  XmlLimits limits;
  limits.maxMarkupBytes = 200'000;
  std::string shortComment = "<!--" + std::string(150'000, '-' + 1) + "-->";
  std::string longComment = "<!--" + std::string(250'000, '-' + 1) + "-->";
  XmlDocument fine = Read("<r><a/>" + shortComment + "<b/></r>", limits, 4096);
  EXPECT_TRUE(fine.complete);
  EXPECT_EQ(ChildNames(fine), "a;b;");
  XmlDocument stopped = Read("<r><a/>" + longComment + "<b/></r>", limits, 4096);
  EXPECT_FALSE(stopped.complete);
  EXPECT_EQ(ChildNames(stopped), "a;");
}

TEST(XmlReaderTest, LongTextIsNoMarkup) {
  XmlLimits limits;
  limits.maxMarkupBytes = 100'000;
  XmlDocument document = Read("<r><a/>" + std::string(1'000'000, 'x') + "<b/></r>", limits);
  EXPECT_TRUE(document.complete);
  EXPECT_EQ(ChildNames(document), "a;b;");
}

TEST(XmlReaderTest, DeepNestingIsWalkedWithoutKeepingItAndStopsAtTheParserLimit) {
  const size_t depth = 100'000;
  std::string nested = Repeat("<x>", depth) + Repeat("</x>", depth);
  XmlDocument document = Read("<r><a>" + nested + "</a><b/></r>");
  EXPECT_TRUE(document.complete);
  EXPECT_EQ(ChildNames(document), "a;b;");

  XmlLimits limits;
  limits.maxParserBytes = 1 << 20;
  XmlDocument stopped = Read("<r><a/><b>" + nested + "</b><c/></r>", limits);
  EXPECT_FALSE(stopped.complete);
  EXPECT_EQ(ChildNames(stopped), "a;b;");
}

TEST(XmlReaderTest, EntityExpansionIsCut) {
  std::string laughs = "<!DOCTYPE r [<!ENTITY l0 \"lollollollollollollollollollol\">";
  for (int i = 1; i <= 9; ++i) {
    std::string previous = "&l" + std::to_string(i - 1) + ";";
    laughs += "<!ENTITY l" + std::to_string(i) + " \"" + Repeat(previous, 10) + "\">";
  }
  laughs += "]>";
  XmlDocument inText = Read(laughs + "<r><a/><b>&l9;</b><c/></r>");
  EXPECT_FALSE(inText.complete);
  EXPECT_EQ(ChildNames(inText), "a;b;");  // <b> is kept before its text is expanded
  XmlDocument inValue = Read(laughs + "<r><a/><b v=\"&l9;\"/><c/></r>");
  EXPECT_FALSE(inValue.complete);
  EXPECT_EQ(ChildNames(inValue), "a;");
}

TEST(XmlReaderTest, FileResults) {
  ScratchFolder folder;
  XmlDocument document;
  EXPECT_EQ(ReadXmlFile(folder / "missing.xml", document), XmlFileResult::kCannotRead);
  EXPECT_EQ(ReadXmlFile(folder.Path(), document), XmlFileResult::kCannotRead);
  WriteFile(folder / "empty.xml", "");
  EXPECT_EQ(ReadXmlFile(folder / "empty.xml", document), XmlFileResult::kEmpty);
  std::string big = "<r><a/>" + std::string(300'000, ' ') + "<b/></r>";  // several blocks
  WriteFile(folder / "big.xml", big);
  EXPECT_EQ(ReadXmlFile(folder / "big.xml", document), XmlFileResult::kRead);
  EXPECT_TRUE(document.complete);
  EXPECT_EQ(ChildNames(document), "a;b;");
}

}  // namespace
}  // namespace brisvel
