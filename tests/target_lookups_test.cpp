// Centre-line resolution, instance-name matching and the callout's SBOM instance and label
// content.
#include <map>

#include "center_line_fixture.h"
#include "illhost/rows.h"
#include "key_symbols.h"
#include "support.h"

namespace {

using namespace testsupport;
using hostmodel::Part;
using hostmodel::TextPart;

using TargetLookups = PartTest;

// The host reads what the module stores under these texts: each key symbol's, in order.
TEST(KeySymbols, TextsInTheOrderOfConstruction) {
  std::vector<std::string> texts, listed;
  for (du::Symbol const* key : illanimation::keys::kAll) texts.push_back(key->str());
  test_rows::ForEachRow(MODULE_TEST_DATA_DIR "/key_symbols.tsv",
                        [&](auto const& row) { listed.push_back(row.at(0)); });
  EXPECT_EQ(texts, listed);
}

TEST_F(TargetLookups, MatchesAnyOfTheFourNamesOfTheStandingSbomInstance) {
  auto lonely = M().AddInstance("i2", "lonely", "Lonely");
  du::SmartPtr<qmk::BaseInstance> plain(new qmk::BaseInstance);
  struct Row {
    du::SmartPtr<qmk::BaseInstance> instance;
    char const* text;
    bool matches;
  } const rows[] = {
      {part, "SB-1", true},       {part, "Sbom name", true},   {part, "part.1", true},
      {part, "Sbom shown", true}, {part, "Part shown", false}, {part, "sb-1", false},
      {part, "", false},          {sbom, "part.1", true},      {sbom, "Sbom shown", true},
      {lonely, "lonely", false},  {plain, "", false},          {{}, "SB-1", false},
  };
  for (auto const& row : rows)
    EXPECT_EQ(illanimation::MatchesInstanceName(row.instance, row.text), row.matches) << row.text;
}

// That other targets (no item, an instance, a callout, a missing annotation) resolve to nothing
// and ask the host nothing more is in the fault sweep's table of host calls.
TEST_F(TargetLookups, CenterLineResolvesThroughItsObjectFirstOrItsPendingObject) {
  auto collection = M().AddSbom("s2", "SB-2", "Coll name", "Coll shown");
  auto const prefix = qmk::Instance::s_content_symbolPrefix.str();
  // Identifiers that carry the prefix where it does not mark content, and exist.
  hostmodel::Model::Link(M().AddInstance(prefix + "i3", "part.3", "Part 3 shown"),
                         M().AddSbom("s3", "SB-1", "n3", "d3"));
  M().AddSbom("x" + prefix, "SB-1", "Prefixed name", "Prefixed shown");
  auto const pending = [&](du::Symbol const& type, char const* field, std::string const& value) {
    return PendingCenterLine(type, {{field, value}});
  };
  // A line with an object and a pending object that would make the name type default.
  auto const line = AddPendingCenterLine(M(), sel::Instance, {{"instance", "x" + prefix}});
  line->AddObject(part);
  // Only an annotation item is asked for the annotation behind it.
  auto instanceOfTheLine = M().AddObjectItem(sel::Instance, part, "P");
  instanceOfTheLine->SetAnnotation(line);
  auto const plainLine = M().AddCenterLine();  // its object is neither a part nor an SBOM instance
  plainLine->AddObject(du::SmartPtr<qmk::Object>(new qmk::BaseInstance));
  struct Row {
    char const* what;
    du::SmartPtr<animation::Target> target;
    char const* shown;      // the result of display mode
    NameType classifiedAs;  // the name type that classify mode leaves, from Unresolved
  } const rows[] = {
      {"object first", AnnotationTarget(line, "CL"), "Part shown", Follows},
      {"object of no name", AnnotationTarget(plainLine, "CL"), "", Own},
      {"instance, plain id", pending(sel::Instance, "instance", "i1"), "", Unresolved},
      {"instance, prefix inside", pending(sel::Instance, "instance", "x" + prefix + "i1"), "",
       Default},
      {"assembly, prefix only at the start", pending(sel::Assembly, "instance", prefix), "",
       Unresolved},
      {"collection", pending(sel::Collection, "sbomInstanceId", "s2"), "Coll shown", Own},
      {"collection, prefix ignored", pending(sel::Collection, "sbomInstanceId", "x" + prefix),
       "Prefixed shown", Follows},
      {"collection, unknown id", pending(sel::Collection, "sbomInstanceId", "s9"), "", Unresolved},
      {"face parent", pending(sel::Face3D, "parent_instance", "i1"), "Part shown", Follows},
      {"face parent with prefix inside", pending(sel::Face3D, "parent_instance", "i1" + prefix), "",
       Default},
      {"face parent starting with the prefix",
       pending(sel::Face3D, "parent_instance", prefix + "i3"), "Part 3 shown", Follows},
      {"face parent starting with the prefix, unknown",
       pending(sel::Face3D, "parent_instance", prefix + "i1"), "", Unresolved},
      {"unknown parent", pending(sel::Face3D, "parent_instance", "nope"), "", Unresolved},
      {"no field", PendingCenterLine(sel::Face3D, {}), "", Unresolved},
      {"no target", {}, "", Unresolved},
      {"kind 1", Target(M().AddAnnotationItem(line, "CL"), 1), "", Unresolved},
      {"kind 3", Target(M().AddAnnotationItem(line, "CL"), 3), "", Unresolved},
      {"instance item that designates the line", Target(instanceOfTheLine), "", Unresolved},
  };
  for (auto const& row : rows) {
    for (bool classify : {false, true}) {
      auto track = NewTrack("SB-1", Unresolved);
      EXPECT_EQ(track->ResolveCenterLineTarget(row.target, classify).str(),
                classify ? "" : row.shown)
          << row.what;
      bool const setsDefault = row.classifiedAs == Default;
      EXPECT_EQ(track->GetNameType(), Int(classify || setsDefault ? row.classifiedAs : Unresolved))
          << row.what;
    }
  }
}

TEST_F(TargetLookups, CalloutSbomInstanceComesFromTheFirstAttachmentRecord) {
  auto callout = M().AddCallout("C", {}, "");
  EXPECT_FALSE(illanimation::FindCalloutSbomInstance(callout));
  using Record = qmannotations::AttachmentRecord;
  callout->m_attachments.emplace_back(new Record("s1", ""));
  callout->m_attachments.emplace_back(new Record("", "nope"));
  // (That the application is asked for before its SBOM tree is in the fault sweep's table.)
  EXPECT_EQ(illanimation::FindCalloutSbomInstance(callout).get(), sbom.get());
  callout->m_attachments.front()->m_secondId = "nope";
  EXPECT_FALSE(illanimation::FindCalloutSbomInstance(callout));
}

TEST_F(TargetLookups, ShowsSbomNameAtTheFirstNameValueOrTag) {
  std::pair<qmannotations::LabelContentList, bool> const rows[] = {
      // content, shows
      {{}, false},
      {{TextPart("Item ")}, false},
      {{Part("g", "sBOM Name", "Value")}, true},
      {{Part("g", "eBOM Name", "Value"), TextPart("x")}, true},
      {{TextPart("x"), Part("g", "Display Name", "Value")}, true},
      {{Part("g", "Display Name", "value")}, false},
      {{Part("g", "Weight", "Value")}, false},
      {{Part("", "qmTAG", "")}, true},
      {{Part("", "qmTAG", "Value")}, false},
  };
  for (auto const& [content, shows] : rows) {
    auto callout = M().AddCallout("C", content, "");
    // GetTextContent's answer says the opposite of what it appended.
    callout->GetDefinition()->SetTextContentAnswer(content.empty());
    EXPECT_EQ(illanimation::ShowsSbomName(callout), shows);
  }
}

TEST_F(TargetLookups, LabelContentMatchKeepsValuesAtTheSameOffsetInLabelAndName) {
  auto parent = M().AddSbom("s0", "SB-0", "Root", "Root shown");
  sbom->SetParent(parent.get());
  sbom->SetProperty("g", "sBOM Name", du::Symbol("Bolt"));
  sbom->SetProperty("g", "eBOM Name", du::Symbol("M6"));
  sbom->SetProperty("g", "Display Name", du::Symbol(""));
  parent->SetProperty("g", "sBOM Name", du::Symbol("Frame"));
  // The label contents that label_contents.tsv names.
  using Content = qmannotations::LabelContentList;
  std::map<std::string, Content> const contents{
      {"none", {}},
      {"both", {Part("g", "sBOM Name", "Value"), TextPart(" "), Part("g", "eBOM Name", "Value")}},
      {"adjacent", {Part("g", "sBOM Name", "Value"), Part("g", "eBOM Name", "Value")}},
      {"parent value", {Part("g", "sBOM Name", "Value", "Parent")}},
      {"self value", {Part("g", "sBOM Name", "Value", "Self")}},
      {"uncounted", {TextPart("x"), Part("g", "Weight", "Value")}},
      {"missing first", {Part("g", "sBOM Name", "Value", "", ""), Part("h", "eBOM Name", "Value")}},
      {"empty first", {Part("g", "Display Name", "Value"), Part("g", "sBOM Name", "Value")}},
  };
  // A value longer than the name symbol that may stand for it: what follows the symbol in the
  // name is compared with what follows the value in the label.
  auto const longer = M().AddSbom("s4", "S4", "n4", "d4");
  longer->SetProperty("g", "sBOM Name", du::Symbol("Hex bolt"));
  longer->SetProperty("g", "eBOM Name", du::Symbol("M6"));
  // GetParent's answer says the opposite of the parent it fills.
  sbom->SetParentAnswer(false);
  longer->SetParentAnswer(true);
  // Columns: what, content, label, name, name type, instance ("longer", "none", or the fixture's),
  // the properties looked up when that matters (the check stops at a mismatch).
  int const rows =
      test_rows::ForEachRow(MODULE_TEST_DATA_DIR "/label_contents.tsv", [&](auto& row) {
        auto track = NewTrack(row.at(3), Unresolved);
        Recorded([&] {
          track->ClassifyNameByLabelContent(row.at(5) == "none"     ? nullptr
                                            : row.at(5) == "longer" ? longer
                                                                    : sbom,
                                            contents.at(row.at(1)), du::Symbol(row.at(2)));
        });
        if (!row.at(6).empty()) {
          EXPECT_EQ(hostseams::CallLog::Count("qmk::illustration::SbomInstance::FindProperty"),
                    std::stoi(row.at(6)))
              << row.at(0);
        }
        EXPECT_EQ(track->GetNameType(), Int(NameTypeNamed(row.at(4)))) << row.at(0);
      });
  EXPECT_GT(rows, 10);
}

}  // namespace
