// Centre-line resolution, instance-name matching and the callout's SBOM instance and label
// content.
#include "support.h"

namespace {

using namespace testsupport;
using hostmodel::Part;
using hostmodel::TextPart;

using TargetLookups = PartTest;

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

TEST_F(TargetLookups, CenterLineResolvesThroughItsObjectOrItsPendingObject) {
  auto collection = M().AddSbom("s2", "SB-2", "Coll name", "Coll shown");
  auto const prefix = qmk::Instance::s_content_symbolPrefix.str();
  // Identifiers that carry the prefix where it does not mark content, and exist.
  hostmodel::Model::Link(M().AddInstance(prefix + "i3", "part.3", "Part 3 shown"),
                         M().AddSbom("s3", "SB-1", "n3", "d3"));
  M().AddSbom("x" + prefix, "SB-1", "Prefixed name", "Prefixed shown");
  struct Row {
    char const* what;
    du::Symbol type;  // of the pending object, whose field `field`, unless empty, is `value`
    char const* field;
    std::string value;
    char const* shown;      // the result of display mode
    NameType classifiedAs;  // the name type that classify mode leaves, from Unresolved
  } const rows[] = {
      {"instance, plain id", sel::Instance, "instance", "i1", "", Unresolved},
      {"instance, prefix inside", sel::Instance, "instance", "x" + prefix + "i1", "", Default},
      {"assembly, prefix only at the start", sel::Assembly, "instance", prefix, "", Unresolved},
      {"collection", sel::Collection, "sbomInstanceId", "s2", "Coll shown", Own},
      {"collection, prefix ignored", sel::Collection, "sbomInstanceId", "x" + prefix,
       "Prefixed shown", Follows},
      {"collection, unknown id", sel::Collection, "sbomInstanceId", "s9", "", Unresolved},
      {"face parent", sel::Face3D, "parent_instance", "i1", "Part shown", Follows},
      {"face parent with prefix inside", sel::Face3D, "parent_instance", "i1" + prefix, "",
       Default},
      {"face parent starting with the prefix", sel::Face3D, "parent_instance", prefix + "i3",
       "Part 3 shown", Follows},
      {"face parent starting with the prefix, unknown", sel::Face3D, "parent_instance",
       prefix + "i1", "", Unresolved},
      {"unknown parent", sel::Face3D, "parent_instance", "nope", "", Unresolved},
      {"no field", sel::Face3D, "", "", "", Unresolved},
  };
  for (auto const& row : rows) {
    std::map<std::string, std::string> fields;
    if (*row.field) fields[row.field] = row.value;
    auto const target = PendingCenterLine(row.type, fields);
    for (bool classify : {false, true}) {
      auto track = NewTrack("SB-1", Unresolved);
      Balanced(row.what, [&] {
        EXPECT_EQ(track->ResolveCenterLineTarget(target, classify).str(), classify ? "" : row.shown)
            << row.what;
      });
      bool const setsDefault = row.classifiedAs == Default;
      EXPECT_EQ(track->GetNameType(), Int(classify || setsDefault ? row.classifiedAs : Unresolved))
          << row.what;
    }
  }
}

TEST_F(TargetLookups, CenterLineObjectComesFirstAndOtherTargetsResolveToNothing) {
  auto line = M().AddCenterLine();
  line->AddObject(part);
  du::SmartPtr<qmk::SelectionItemRepresentation> pending(
      new qmk::SelectionItemRepresentation(sel::Instance));
  pending->SetField("instance", "x" + qmk::Instance::s_content_symbolPrefix.str());
  line->SetMainPendingObject(pending);
  auto item = M().AddAnnotationItem(line, "CL");
  auto track = NewTrack("nothing alike", Unresolved);
  EXPECT_EQ(track->ResolveCenterLineTarget(Target(item), false).str(), "Part shown");
  track->ResolveCenterLineTarget(Target(item), true);
  EXPECT_EQ(track->GetNameType(), Int(Own));

  auto callout = M().AddCallout("C", {}, "");
  // Only an annotation item is asked for the annotation behind it.
  auto instanceOfTheLine = M().AddObjectItem(sel::Instance, part, "P");
  instanceOfTheLine->SetAnnotation(line);
  du::SmartPtr<animation::Target> const others[] = {
      {},
      Target(item, 1),
      Target({}),
      ObjectTarget(sel::Instance, "P"),
      Target(instanceOfTheLine),
      AnnotationTarget(callout, "C"),
      AnnotationTarget({}, "none"),
  };
  for (auto const& target : others) {
    track->SetNameType(Unresolved);
    EXPECT_TRUE(track->ResolveCenterLineTarget(target, true).empty());
    EXPECT_EQ(track->GetNameType(), Int(Unresolved));
  }
}

TEST_F(TargetLookups, CalloutSbomInstanceComesFromTheFirstAttachmentRecord) {
  auto callout = M().AddCallout("C", {}, "");
  EXPECT_FALSE(illanimation::FindCalloutSbomInstance(callout));
  using Record = qmannotations::AttachmentRecord;
  callout->m_attachments.emplace_back(new Record("s1", ""));
  callout->m_attachments.emplace_back(new Record("", "nope"));
  Recorded([&] { EXPECT_EQ(illanimation::FindCalloutSbomInstance(callout).get(), sbom.get()); });
  // The host expects the application to be asked for before its SBOM tree.
  EXPECT_EQ(hostseams::CallLog::Calls(),
            (std::vector<std::string>{"qmkapp::illustration::TesselApp::GetTesselApp",
                                      "qmkapp::illustration::TesselApp::GetSbomTree",
                                      "qmk::illustration::SbomTree::FindInstance"}));
  callout->m_attachments.front()->m_secondId = "nope";
  EXPECT_FALSE(illanimation::FindCalloutSbomInstance(callout));
}

TEST_F(TargetLookups, ShowsSbomNameAtTheFirstNameValueOrTag) {
  struct Row {
    qmannotations::LabelContentList content;
    bool shows;
  } const rows[] = {
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
  for (auto const& row : rows)
    EXPECT_EQ(illanimation::ShowsSbomName(M().AddCallout("C", row.content, "")), row.shows);
}

TEST_F(TargetLookups, LabelContentMatchKeepsValuesAtTheSameOffsetInLabelAndName) {
  auto parent = M().AddSbom("s0", "SB-0", "Root", "Root shown");
  sbom->SetParent(parent.get());
  sbom->SetProperty("g", "sBOM Name", du::Symbol("Bolt"));
  sbom->SetProperty("g", "eBOM Name", du::Symbol("M6"));
  sbom->SetProperty("g", "Display Name", du::Symbol(""));
  parent->SetProperty("g", "sBOM Name", du::Symbol("Frame"));
  using Content = qmannotations::LabelContentList;
  Content const both{Part("g", "sBOM Name", "Value"), TextPart(" "),
                     Part("g", "eBOM Name", "Value")};
  Content const parentValue{Part("g", "sBOM Name", "Value", "Parent")};
  Content const uncounted{TextPart("x"), Part("g", "Weight", "Value")};
  Content const missingFirst{Part("g", "sBOM Name", "Value", "", ""),
                             Part("h", "eBOM Name", "Value")};
  Content const emptyFirst{Part("g", "Display Name", "Value"), Part("g", "sBOM Name", "Value")};
  // A value longer than the name symbol that may stand for it: what follows the symbol in the
  // name is compared with what follows the value in the label.
  auto const longer = M().AddSbom("s4", "S4", "n4", "d4");
  longer->SetProperty("g", "sBOM Name", du::Symbol("Hex bolt"));
  longer->SetProperty("g", "eBOM Name", du::Symbol("M6"));
  struct Row {
    char const* what;
    qmannotations::LabelContentList content;
    char const* label;
    char const* name;
    NameType expected;
    du::SmartPtr<qmk::illustration::SbomInstance> instance = {};  // the fixture's when empty
    int lookups = -1;  // properties looked up, when it matters: the check stops at a mismatch
  } const rows[] = {
      {"no content", {}, "anything", "else", Follows},
      {"no counting part", uncounted, "a", "b", Follows},
      {"missing property is skipped", missingFirst, "Bolt", "Bolt", Follows},
      {"two values as labelled", both, "Bolt M6", "Bolt M6", Follows, sbom, 2},
      {"two values swapped", both, "Bolt M6", "M6 Bolt", Own, sbom, 1},
      {"value absent from the label", both, "Nut M6", "Bolt M6", Own, sbom, 1},
      {"name symbol stands in for the value", both, "Bolt M6", "SB-1 M6", Follows},
      {"parent relation", parentValue, "in Frame", "in Frame", Follows},
      {"parent relation, another value in the name", parentValue, "in Frame", "in Nut", Own},
      {"parent name symbol", parentValue, "Frame", "SB-0", Follows},
      {"empty value consumes nothing", emptyFirst, "Bolt", "Bolt", Follows},
      {"shorter name symbol, the next value follows it", both, "Hex bolt M6", "S4 M6", Follows,
       longer},
      {"shorter name symbol, the next value differs", both, "Hex bolt M6", "S4 M8", Own, longer},
  };
  for (auto const& row : rows) {
    auto track = NewTrack(row.name, Unresolved);
    Balanced(row.what, [&] {
      Recorded([&] {
        track->ClassifyNameByLabelContent(row.instance ? row.instance : sbom, row.content,
                                          du::Symbol(row.label));
      });
    });
    if (row.lookups >= 0) {
      EXPECT_EQ(hostseams::CallLog::Count("qmk::illustration::SbomInstance::FindProperty"),
                row.lookups)
          << row.what;
    }
    EXPECT_EQ(track->GetNameType(), Int(row.expected)) << row.what;
  }
}

// What the module gives for objects that the host should not hand it: a callout without a
// definition shows no SBOM name, and a label-content check without an SBOM instance finds the
// name to be the track's own, whatever it is.
TEST_F(TargetLookups, CalloutWithoutDefinitionAndLabelCheckWithoutInstance) {
  auto bare = Bare("C", "s1");
  EXPECT_FALSE(illanimation::ShowsSbomName(bare));
  EXPECT_EQ(illanimation::FindCalloutSbomInstance(bare).get(), sbom.get());

  for (char const* name : {"anything", ""}) {
    auto track = NewTrack(name, Unresolved);
    Balanced(name, [&] { track->ClassifyNameByLabelContent({}, {}, du::Symbol(name)); });
    EXPECT_EQ(track->GetNameType(), Int(Own)) << name;
  }
}

}  // namespace
