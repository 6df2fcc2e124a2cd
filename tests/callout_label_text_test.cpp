// The one-line label text of single and grouped callouts, and what the callouts engine is asked.
#include "illhost/rows.h"
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
  // A callout as callout_labels.tsv writes it: its label text ("~" for the empty one), after
  // "kindN:" (its callout kind N) or "md:" (a markdown callout); "@none" for no callout, "@bare"
  // for one without definition, "@sbomDC" for one showing the SBOM name "a*b" whose definition (D)
  // and itself (C) are markdown or not (1, 0).
  du::SmartPtr<qmannotations::Callout> CalloutOf(std::string const& spec) {
    if (spec == "@none") return {};
    if (spec == "@bare") return Bare("Desc");
    if (spec.rfind("@sbom", 0) == 0) {
      auto marked = Callout("Desc", {hostmodel::Part("g", "sBOM Name", "Value")}, "s1");
      marked->GetDefinition()->SetMarkdown(spec[5] == '1');
      marked->SetMarkdown(spec[6] == '1');
      return marked;
    }
    std::size_t const colon = spec.find(':');
    std::string const prefix = colon == std::string::npos ? "" : spec.substr(0, colon);
    std::string const text = test_rows::Unescaped(prefix.empty() ? spec : spec.substr(colon + 1));
    int const kind = prefix.rfind("kind", 0) == 0 ? std::stoi(prefix.substr(4)) : 0;
    auto single = Single(text == "~" ? "" : text, kind);
    single->SetMarkdown(prefix == "md");
    return single;
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

// Single callouts by kind and markdown, and groups, which join their members' labels after the
// first non-empty one: the engine gets the definition's content and markdown flag (none and plain
// without a definition); a markdown callout's text is flattened afterwards, a markdown group
// escapes plain members and flattens the whole, a plain group keeps markup.
TEST_F(CalloutLabelText, SinglesByKindAndMarkdownAndGroupsOfTheirLabels) {
  // Columns: what, callouts (" | " apart), "group" or "markdown group" for a group of them, the
  // text, the engine's requests (content size, "md" when markdown) when they are checked.
  int const rows =
      test_rows::ForEachRow(MODULE_TEST_DATA_DIR "/callout_labels.tsv", [&](auto& row) {
        Members members;
        for (std::size_t at = 0, end = 0; end != std::string::npos && !row.at(1).empty();
             at = end + 3)
          members.push_back(
              CalloutOf(row.at(1).substr(at, (end = row.at(1).find(" | ", at)) - at)));
        auto const callout =
            row.at(2).empty() ? members.at(0) : Group(members, row.at(2) != "group");
        EXPECT_EQ(Text(callout, shapes.get()), test_rows::Unescaped(row.at(3))) << row.at(0);
        if (row.at(4).empty()) return;
        std::string requests;
        for (auto const& [size, markdown] : engine->requests)
          requests += std::to_string(size) + (markdown ? "md " : " ");
        EXPECT_EQ(requests.empty() ? "none" : requests.substr(0, requests.size() - 1), row.at(4))
            << row.at(0);
      });
  EXPECT_GT(rows, 20);
}

}  // namespace
