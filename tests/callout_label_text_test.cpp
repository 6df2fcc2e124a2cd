// The one-line label text of single and grouped callouts, and what the callouts engine is asked.
#include "support.h"

namespace {

using namespace testsupport;
using hostmodel::TextPart;

using Members = std::vector<du::SmartPtr<qmannotations::Callout>>;
using Requests = std::vector<std::pair<std::size_t, bool>>;  // content size, markdown flag

// An engine that records the content size and markdown flag of each request.
class RecordingEngine : public qmcallouts::Callouts {
 public:
  void GenerateLabelString(du::SmartPtr<qmannotations::Callout> const& callout,
                           qmannotations::LabelContentList content, bool markdown,
                           std::string& out) const override {
    requests.emplace_back(content.size(), markdown);
    Callouts::GenerateLabelString(callout, std::move(content), markdown, out);
  }
  mutable Requests requests;
};

class CalloutLabelText : public ModuleTest {
 protected:
  CalloutLabelText() {
    shapes->SetCalloutsEngine(engine);
    M().AddSbom("s1", "SB-1", "n", "d")->SetProperty("g", "sBOM Name", du::Symbol("a*b"));
  }
  du::SmartPtr<qmannotations::Callout> Single(std::string const& text, int kind = 0) {
    return Callout("Desc", {TextPart(text)}, "", kind);
  }
  Members Singles(std::vector<std::string> const& labels) {
    Members members;
    for (auto const& label : labels) members.push_back(Single(label));
    return members;
  }
  // A callout showing the SBOM name "a*b", with the markdown flags of its definition and its own.
  du::SmartPtr<qmannotations::Callout> Marked(bool definition, bool callout) {
    auto marked = Callout("Desc", {hostmodel::Part("g", "sBOM Name", "Value")}, "s1");
    marked->GetDefinition()->SetMarkdown(definition);
    marked->SetMarkdown(callout);
    return marked;
  }
  std::string Text(du::SmartPtr<qmannotations::Callout> const& callout, qmk::Scene* scene) {
    engine->requests.clear();
    return illanimation::GetCalloutLabelText(callout, scene).str();
  }
  du::SmartPtr<RecordingEngine> engine{new RecordingEngine};
  du::SmartPtr<qmk::ShapeScene> shapes = M().AddShapeScene(false);
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
  // The engine gets the definition's content and markdown flag (none and plain without a
  // definition); a markdown callout's text is flattened afterwards.
  auto markdown = Single("**Bold** \\*x");
  markdown->SetMarkdown(true);
  struct Row {
    char const* what;
    du::SmartPtr<qmannotations::Callout> callout;
    char const* expected;
    Requests requests;
  } const rows[] = {
      {"line breaks", Single("Bolt\n\rM6"), "Desc: Bolt  M6", {{1, false}}},
      {"kind 2", Single("kind two", 2), "Desc: kind two", {{1, false}}},
      {"kind 1", Single("kind one", 1), "", {}},
      {"empty label", Single(""), "Desc: ", {{1, false}}},
      {"markdown callout", markdown, "Desc: Bold *x", {{1, false}}},
      {"markup in a plain callout", Single("**kept**"), "Desc: **kept**", {{1, false}}},
      {"no definition", Bare("Desc"), "Desc: ", {{0, false}}},
      {"plain definition", Marked(false, false), "Desc: a*b", {{1, false}}},
      {"markdown definition", Marked(true, false), "Desc: a\\*b", {{1, true}}},
      {"markdown definition and callout", Marked(true, true), "Desc: a*b", {{1, true}}},
  };
  for (auto const& row : rows) {
    EXPECT_EQ(Text(row.callout, shapes.get()), row.expected) << row.what;
    EXPECT_EQ(engine->requests, row.requests) << row.what;
  }
}

TEST_F(CalloutLabelText, GroupJoinsMemberLabelsAfterTheFirstNonEmptyOne) {
  // A markdown group escapes plain members and flattens the whole; a plain group keeps markup.
  auto strong = Single("**strong**");
  strong->SetMarkdown(true);
  struct Row {
    Members members;
    bool markdown;
    char const* expected;
    Requests requests = {};  // checked when not empty
  } const rows[] = {
      {{}, false, "G: "},
      {Singles({"A", "B"}), false, "G: A, B"},
      {Singles({"", "B"}), false, "G: B"},
      {Singles({"A", "", "C"}), false, "G: A, , C"},
      {Singles({"A", ""}), false, "G: A, "},
      {Singles({"line\none"}), false, "G: line one"},
      {{{}, Single("A"), {}}, false, "G: A, "},
      {{Single("a*b_c"), strong}, true, "G: a*b_c, strong"},
      {{Single("a*b_c"), strong}, false, "G: a*b_c, **strong**"},
      {{Marked(true, false), Marked(true, true)}, true, "G: a\\*b, a*b"},
      {{Marked(true, false), Bare("B"), Single("p")},
       false,
       "G: a\\*b, , p",
       {{1, true}, {0, false}, {1, false}}},
  };
  for (auto const& row : rows) {
    EXPECT_EQ(Text(Group(row.members, row.markdown), shapes.get()), row.expected) << row.expected;
    if (!row.requests.empty()) {
      EXPECT_EQ(engine->requests, row.requests) << row.expected;
    }
  }
}

}  // namespace
