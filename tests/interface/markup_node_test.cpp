#include "interface/markup_node.h"

#include <gtest/gtest.h>

#include "tests/interface/markup_test_support.h"

namespace {

// The tree A{B{"t"} C} D, built through the linking calls.
MarkupNode* BuildTree() {
  MarkupNode* root = nullptr;
  MarkupNode* d = new_node_at(&root, NodePlace::kLastChild, nullptr, kNodeElement, "d", 1);
  MarkupNode* a = new_node_at(&root, NodePlace::kBefore, d, kNodeElement, "a", 1);
  MarkupNode* c = new_node_at(&root, NodePlace::kLastChild, a, kNodeEmptyElement, "c", 1);
  MarkupNode* b = new_node_at(&root, NodePlace::kFirstChild, a, kNodeElement, "b", 1);
  new_node_at(&root, NodePlace::kLastChild, b, kNodeText, "t", 1);
  EXPECT_TRUE(a && b && c && d);
  return root;
}

TEST(MarkupNodes, NewNodesAndLinking) {
  MarkupNode* root = BuildTree();
  EXPECT_EQ(Dump(root), "A{B{\"t\"} C/} D{}");
  EXPECT_TRUE(DepthsAreConsistent(root));
  EXPECT_NE(root->attributes, nullptr);
  EXPECT_EQ(root->children->children->attributes, nullptr);

  MarkupNode* stranger = new_node(kNodeText, "x", 1);
  MarkupNode* loose = new_node(kNodeText, "y", 1);
  EXPECT_EQ(link_node(&root, loose, NodePlace::kAfter, stranger), kErrNotFound);
  free_node_list(loose);
  EXPECT_EQ(new_node_at(&root, NodePlace::kBefore, stranger, kNodeText, "z", 1), nullptr);
  free_node_list(stranger);

  MarkupNode* after = new_node_at(&root, NodePlace::kAfter, root->children, kNodeComment, "<!--c--", 7);
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(Dump(root), "A{B{\"t\"} !\"<!--c--\" C/} D{}");
  EXPECT_EQ(after->depth, 2u);
  free_node_list(root);
}

TEST(MarkupNodes, DocumentOrderAndUnlinking) {
  MarkupNode* root = BuildTree();
  std::string order;
  for (MarkupNode* node = root; node; node = next_in_document_order(root, node))
    order += node->name ? node->name : node->text;
  EXPECT_EQ(order, "ABtCD");

  MarkupNode* b = root->children;
  EXPECT_EQ(unlink_node(&root, b, false, true), kOk);  // its text takes its place
  EXPECT_EQ(Dump(root), "A{\"t\" C/} D{}");
  EXPECT_TRUE(DepthsAreConsistent(root));

  MarkupNode* a = root;
  EXPECT_EQ(unlink_node(&root, a, true, false), kOk);  // the subtree goes with it
  EXPECT_EQ(Dump(root), "D{}");
  EXPECT_EQ(Dump(a), "A{\"t\" C/}");
  EXPECT_EQ(unlink_node(&root, a, true, false), kErrNotFound);
  free_node_list(a);
  free_node_list(root);
}

TEST(MarkupNodes, CopiesAreDeepAndIndependent) {
  Parsed parsed("<A X=1 Y><B>text<!--c--></B><C/></A><SCRIPT>raw</SCRIPT>tail");
  MarkupNode* copy = copy_node_list(parsed.tree);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(Dump(copy), Dump(parsed.tree));
  EXPECT_TRUE(DepthsAreConsistent(copy));
  EXPECT_EQ(entry_of_value(get_value(copy->attributes, "Y"))->separator, 0);
  push_value(copy->attributes, "X", "2");
  copy->children->children->text[0] = 'T';
  EXPECT_EQ(Dump(parsed.tree), "A[X=1 Y]{B{\"text\" !\"<!--c--\"} C/} SCRIPT{~\"raw\"} \"tail\"");
  free_node_list(copy);
  EXPECT_EQ(copy_node_list(nullptr), nullptr);
}

TEST(MarkupNodes, DeepTreesAreWalkedWithoutRecursion) {
  constexpr int kDepth = 200000;
  std::string source;
  for (int i = 0; i < kDepth; ++i) source += "<A>";
  source += "leaf";
  std::vector<char> text(source.begin(), source.end());
  MarkupNode* tree = nullptr;
  ASSERT_EQ(parse_markup_bytes(text.data(), text.size(), "", "", nullptr, &tree), kOk);
  MarkupNode* copy = copy_node_list(tree);
  ASSERT_NE(copy, nullptr);
  ASSERT_EQ(renumber_depths(copy, 5), kOk);
  const MarkupNode* node = copy;
  while (node->children) node = node->children;
  EXPECT_EQ(node->depth, uint32_t(kDepth + 5));
  EXPECT_STREQ(node->text, "leaf");
  const MarkupNode* leaf = tree;
  while (leaf->children) leaf = leaf->children;
  EXPECT_EQ(next_in_document_order(tree, leaf), nullptr);
  free_node_list(copy);
  free_node_list(tree);
}

}  // namespace
