// The one-line label text of single and grouped callouts.
#include "support.h"

namespace {

using namespace testsupport;
using hostmodel::TextPart;

class CalloutLabelText : public ModuleTest {
 protected:
  du::SmartPtr<qmannotations::Callout> Single(std::string const& text, int kind = 0) {
    auto callout = M().AddCallout("Desc", {TextPart(text)}, "");
    callout->m_calloutKind = kind;
    return callout;
  }
  du::SmartPtr<qmannotations::Callout> Group(std::vector<std::string> const& labels,
                                             bool markdown = false) {
    auto group = M().AddCallout("G", {}, "");
    group->SetGroup(true);
    group->SetMarkdown(markdown);
    for (auto const& label : labels) group->m_groupMembers.push_back(Single(label));
    return group;
  }
  std::string Text(du::SmartPtr<qmannotations::Callout> const& callout, qmk::Scene* scene) {
    ExpectBalanced balanced;
    return illanimation::GetCalloutLabelText(callout, scene).str();
  }
  du::SmartPtr<qmk::ShapeScene> shapes = M().AddShapeScene();
};

TEST_F(CalloutLabelText, SceneDecidesBetweenObjectTextEngineAndNothing) {
  auto callout = Single("label");
  callout->SetObjectText("object\ntext\r");
  auto plain = M().AddPlainScene();
  auto noEngine = M().AddShapeScene(false);
  EXPECT_EQ(Text(callout, plain.get()), "object\ntext\r");
  EXPECT_EQ(Text(callout, nullptr), "object\ntext\r");
  EXPECT_EQ(Text(callout, noEngine.get()), "");
  EXPECT_EQ(Text(callout, shapes.get()), "Desc: label");
}

TEST_F(CalloutLabelText, SingleCalloutsByKindAndMarkdown) {
  auto markdown = Single("**Bold** \\*x");
  markdown->SetMarkdown(true);
  auto bare = Single("gone");  // a callout without definition has no label content
  bare->SetDefinition({});
  struct Row {
    du::SmartPtr<qmannotations::Callout> callout;
    char const* expected;
    int engineCalls;
  } const rows[] = {
      {Single("Bolt\n\rM6"), "Desc: Bolt  M6", 1},
      {Single("kind two", 2), "Desc: kind two", 1},
      {Single("kind one", 1), "", 0},
      {Single("", 0), "Desc: ", 1},
      {markdown, "Desc: Bold *x", 1},
      {Single("**kept**"), "Desc: **kept**", 1},
      {bare, "Desc: ", 1},
  };
  for (auto const& row : rows) {
    Recorded([&] { EXPECT_EQ(Text(row.callout, shapes.get()), row.expected); });
    EXPECT_EQ(hostseams::CallLog::Count("qmcallouts::Callouts::GenerateLabelString"),
              row.engineCalls);
  }
}

TEST_F(CalloutLabelText, GroupJoinsMemberLabelsAfterTheFirstNonEmptyOne) {
  struct Row {
    std::vector<std::string> labels;
    char const* expected;
  } const rows[] = {
      {{}, "G: "},           {{"A", "B"}, "G: A, B"},
      {{"", "B"}, "G: B"},   {{"A", "", "C"}, "G: A, , C"},
      {{"A", ""}, "G: A, "}, {{"line\none"}, "G: line one"},
  };
  for (auto const& row : rows) EXPECT_EQ(Text(Group(row.labels), shapes.get()), row.expected);
}

TEST_F(CalloutLabelText, MarkdownGroupEscapesPlainMembersAndFlattensTheWhole) {
  auto group = Group({"a*b_c"}, true);
  auto marked = Single("**strong**");
  marked->SetMarkdown(true);
  group->m_groupMembers.push_back(marked);
  EXPECT_EQ(Text(group, shapes.get()), "G: a*b_c, strong");
  // The same members in a plain group keep their markup.
  group->SetMarkdown(false);
  EXPECT_EQ(Text(group, shapes.get()), "G: a*b_c, **strong**");
}

TEST_F(CalloutLabelText, DefinitionMarkdownFlagReachesTheEngineAndCalloutFlagsConvert) {
  M().AddSbom("s1", "SB-1", "n", "d")->SetProperty("g", "sBOM Name", du::Symbol("a*b"));
  auto make = [&](bool definitionMarkdown, bool calloutMarkdown) {
    auto callout = M().AddCallout("Desc", {hostmodel::Part("g", "sBOM Name", "Value")}, "s1");
    callout->GetDefinition()->SetMarkdown(definitionMarkdown);
    callout->SetMarkdown(calloutMarkdown);
    return callout;
  };
  EXPECT_EQ(Text(make(false, false), shapes.get()), "Desc: a*b");
  EXPECT_EQ(Text(make(true, false), shapes.get()), "Desc: a\\*b");
  EXPECT_EQ(Text(make(true, true), shapes.get()), "Desc: a*b");
  auto group = Group({}, true);
  group->m_groupMembers = {make(true, false), make(true, true)};
  EXPECT_EQ(Text(group, shapes.get()), "G: a\\*b, a*b");
}

// An engine that records the content size and markdown flag of each request.
class RecordingEngine : public qmcallouts::Callouts {
 public:
  void GenerateLabelString(du::SmartPtr<qmannotations::Callout> const& callout,
                           qmannotations::LabelContentList content, bool markdown,
                           std::string& out) const override {
    requests.emplace_back(content.size(), markdown);
    Callouts::GenerateLabelString(callout, std::move(content), markdown, out);
  }
  mutable std::vector<std::pair<std::size_t, bool>> requests;
};

TEST_F(CalloutLabelText, EngineIsAskedWithTheDefinitionsContentAndMarkdownFlag) {
  // A callout without definition is asked for with no content and as plain text.
  auto engine = du::SmartPtr<RecordingEngine>(new RecordingEngine);
  auto scene = M().AddShapeScene(false);
  scene->SetCalloutsEngine(engine);
  auto marked = Single("m");
  marked->GetDefinition()->SetMarkdown(true);
  auto bare = Single("gone");
  bare->SetDefinition({});
  auto group = Group({});
  group->m_groupMembers = {marked, bare, Single("p")};
  using Requests = std::vector<std::pair<std::size_t, bool>>;
  struct Row {
    char const* what;
    du::SmartPtr<qmannotations::Callout> callout;
    Requests requests;
  } const rows[] = {
      {"plain definition", Single("p"), {{1, false}}},
      {"markdown definition", marked, {{1, true}}},
      {"no definition", bare, {{0, false}}},
      {"group of the three", group, {{1, true}, {0, false}, {1, false}}},
  };
  for (auto const& row : rows) {
    engine->requests.clear();
    Text(row.callout, scene.get());
    EXPECT_EQ(engine->requests, row.requests) << row.what;
  }
}

TEST_F(CalloutLabelText, NullGroupMembersShowAnEmptyLabel) {
  auto group = Group({"A"});
  group->m_groupMembers.insert(group->m_groupMembers.begin(),
                               du::SmartPtr<qmannotations::Callout>());
  group->m_groupMembers.push_back({});
  EXPECT_EQ(Text(group, shapes.get()), "G: A, ");
}

}  // namespace
