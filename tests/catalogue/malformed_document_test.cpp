// Broken catalogue documents: each leaves the trees as the loaders promise and never crashes.

#include <gtest/gtest.h>

#include "catalogue/tree_fun.h"

namespace nivra::catalogue {
namespace {

struct MalformedCase {
  std::string label;
  std::string text;
  std::string topList;   // describeTree after loadTopListText on an empty tree
  std::string expanded;  // describeTree after expandNodeText on a group with a placeholder
};

void PrintTo(const MalformedCase& c, std::ostream* os) { *os << c.label; }

std::string nested(std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

std::vector<MalformedCase> malformedCases() {
  const std::string group = "[1] G|(2)\n";
  const std::string loading = group + "  [-1] 正在加载...\n";
  const std::string failed = group + "  [-1] 加载失败，请稍后重试！\n";
  const std::string bigName(10u << 20, 'n');
  const std::string url1200 = "Nivra://" + std::string(1192, 'u');
  return {
      {"truncated", R"({"c":"2","arr":[{"i":1,"t":0,"n":"a","c":"1"},{"i":2)", "", loading},
      {"root array", R"([{"c":"1"}])", "", loading},
      {"root string", R"("arr")", "", loading},
      {"arr not an array", R"({"c":"1","arr":"x"})", "", failed},
      {"count of another type", R"({"c":{"x":1},"arr":[{"i":1,"t":2,"n":"e"}]})",
       "[1] e|()\n  [-1] 正在加载...\n", group + "  [-1] e \n"},
      {"entries of wrong types", R"({"c":"3","arr":[1,"s",null,[],{"t":[]},{"t":2,"u":{}}]})", "",
       group},
      {"ten megabyte name", R"({"c":"1","arr":[{"i":1,"t":2,"n":")" + bigName + R"("}]})",
       "[1] " + std::string(100, 'n') + "|()\n  [-1] 正在加载...\n",
       group + "  [-1] " + std::string(100, 'n') + "\n"},
      {"deep nesting", nested(200000), "", loading},
      {"deep member", R"({"c":"1","arr":[{"i":1,"t":2,"x":)" + nested(100) + "}]}", "", loading},
      {"invalid UTF-8", "{\"c\":\"1\",\"arr\":[{\"i\":1,\"t\":2,\"n\":\"\xff\xfe\"}]}", "",
       loading},
      {"id out of range", R"({"c":"1","arr":[{"i":99999999999,"t":2,"n":"e"}]})", "", group},
      {"long url", R"({"c":"1","arr":[{"i":1,"t":3,"n":"u","c":"0","u":")" + url1200 + R"("}]})",
       "[1] u\n", group},
      {"empty", "", "", loading},
      {"nul bytes", std::string("{\"c\":\"1\"\0,\"arr\":[]}", 19), "", loading},
  };
}

class MalformedDocumentTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedDocumentTest, TreesStayAsSpecified) {
  const MalformedCase& c = GetParam();
  CatalogueTree top;
  loadTopListText(top, c.text);
  EXPECT_EQ(describeTree(top), c.topList);

  CatalogueTree tree;
  TreeNode* node = tree.addTop("G|(2)");
  node->setStateIndex(kStateCollapsed);
  auto item = std::make_unique<TCatalogueItem>();
  item->id = 4;
  item->setCount("2");
  node->setItem(std::move(item));
  tree.addChild(*node, std::string(kLoadingText));
  expandNodeText(tree, *node, c.text);
  EXPECT_EQ(describeTree(tree), c.expanded);

  CatalogueTree list;
  loadListDocumentText(list, "5.js", c.text);  // must not crash; content checked elsewhere
  for (std::size_t i = 0; i < list.topCount(); ++i)
    EXPECT_LE(list.top(i)->item()->name().size(), TCatalogueItem::kNameBytes);
}

INSTANTIATE_TEST_SUITE_P(Documents, MalformedDocumentTest, ::testing::ValuesIn(malformedCases()),
                         [](const auto& info) {
                           std::string name = info.param.label;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

TEST(MalformedDocument, LongUrlInChildDocumentIsCut) {
  CatalogueTree tree;
  TreeNode* node = tree.addTop("G");
  auto item = std::make_unique<TCatalogueItem>();
  item->setCount("1");
  node->setItem(std::move(item));
  const std::string url = "Nivra://" + std::string(1192, 'u');
  expandNodeText(tree, *node, R"({"c":"1","arr":[{"i":1,"t":2,"n":"e","u":")" + url + R"("}]})");
  ASSERT_EQ(node->childCount(), 1u);
  EXPECT_EQ(node->child(0)->item()->url(), url.substr(0, 1000));
}

}  // namespace
}  // namespace nivra::catalogue
