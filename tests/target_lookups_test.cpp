// Centre-line resolution, instance-name matching and the callout's SBOM instance and label
// content.
#include "support.h"

namespace {

using namespace testsupport;
using hostmodel::Part;
namespace sel = qmk::mcad_selection;

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
    du::SmartPtr<animation::Target> target;
    char const* shown;      // the result of display mode
    NameType classifiedAs;  // the name type that classify mode leaves, from Unresolved
  } const rows[] = {
      {"instance, plain id", PendingCenterLine(sel::Instance, {{"instance", "i1"}}), "",
       NameType::Unresolved},
      {"instance, prefix inside",
       PendingCenterLine(sel::Instance, {{"instance", "x" + prefix + "i1"}}), "",
       NameType::Default},
      {"assembly, prefix only at the start",
       PendingCenterLine(sel::Assembly, {{"instance", prefix}}), "", NameType::Unresolved},
      {"collection", PendingCenterLine(sel::Collection, {{"sbomInstanceId", "s2"}}), "Coll shown",
       NameType::Custom},
      {"collection, prefix ignored",
       PendingCenterLine(sel::Collection, {{"sbomInstanceId", "x" + prefix}}), "Prefixed shown",
       NameType::FromTarget},
      {"collection, unknown id", PendingCenterLine(sel::Collection, {{"sbomInstanceId", "s9"}}), "",
       NameType::Unresolved},
      {"face parent", PendingCenterLine(sel::Face3D, {{"parent_instance", "i1"}}), "Part shown",
       NameType::FromTarget},
      {"face parent with prefix inside",
       PendingCenterLine(sel::Face3D, {{"parent_instance", "i1" + prefix}}), "", NameType::Default},
      {"face parent starting with the prefix",
       PendingCenterLine(sel::Face3D, {{"parent_instance", prefix + "i3"}}), "Part 3 shown",
       NameType::FromTarget},
      {"face parent starting with the prefix, unknown",
       PendingCenterLine(sel::Face3D, {{"parent_instance", prefix + "i1"}}), "",
       NameType::Unresolved},
      {"unknown parent", PendingCenterLine(sel::Face3D, {{"parent_instance", "nope"}}), "",
       NameType::Unresolved},
      {"no field", PendingCenterLine(sel::Face3D, {}), "", NameType::Unresolved},
  };
  for (auto const& row : rows) {
    for (bool classify : {false, true}) {
      auto track = NewTrack("SB-1");
      track->SetNameType(NameType::Unresolved);
      hostseams::LedgerCheck ledger;
      auto const result = track->ResolveCenterLineTarget(row.target, classify);
      EXPECT_TRUE(ledger.Balanced()) << row.what << '\n' << ledger.Difference();
      EXPECT_EQ(result.str(), classify ? "" : row.shown) << row.what;
      bool const setsDefault = row.classifiedAs == NameType::Default;
      EXPECT_EQ(track->GetNameType(),
                Int(classify || setsDefault ? row.classifiedAs : NameType::Unresolved))
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
  auto track = NewTrack("nothing alike");
  track->SetNameType(NameType::Unresolved);
  EXPECT_EQ(track->ResolveCenterLineTarget(Target(item), false).str(), "Part shown");
  track->ResolveCenterLineTarget(Target(item), true);
  EXPECT_EQ(track->GetNameType(), Int(NameType::Custom));

  auto callout = M().AddCallout("C", {}, "");
  // Only an annotation item is asked for the annotation behind it.
  auto instanceOfTheLine = M().AddObjectItem(sel::Instance, part, "P");
  instanceOfTheLine->SetAnnotation(line);
  du::SmartPtr<animation::Target> const others[] = {
      {},
      Target(item, 1),
      Target({}),
      Target(M().AddObjectItem(sel::Instance, part, "P")),
      Target(instanceOfTheLine),
      Target(M().AddAnnotationItem(callout, "C")),
      Target(M().AddAnnotationItem({}, "none")),
  };
  for (auto const& target : others) {
    track->SetNameType(NameType::Unresolved);
    EXPECT_TRUE(track->ResolveCenterLineTarget(target, true).empty());
    EXPECT_EQ(track->GetNameType(), Int(NameType::Unresolved));
  }
}

TEST_F(TargetLookups, CalloutSbomInstanceComesFromTheFirstAttachmentRecord) {
  auto callout = M().AddCallout("C", {}, "");
  EXPECT_FALSE(illanimation::FindCalloutSbomInstance(callout));
  using Record = qmannotations::AttachmentRecord;
  callout->m_attachments.emplace_back(new Record("s1", ""));
  callout->m_attachments.emplace_back(new Record("", "nope"));
  hostseams::CallLog::Start();
  EXPECT_EQ(illanimation::FindCalloutSbomInstance(callout).get(), sbom.get());
  hostseams::CallLog::Stop();
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
      {{hostmodel::TextPart("Item ")}, false},
      {{Part("g", "sBOM Name", "Value")}, true},
      {{Part("g", "eBOM Name", "Value"), hostmodel::TextPart("x")}, true},
      {{hostmodel::TextPart("x"), Part("g", "Display Name", "Value")}, true},
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
  auto const both = qmannotations::LabelContentList{
      Part("g", "sBOM Name", "Value"), hostmodel::TextPart(" "), Part("g", "eBOM Name", "Value")};
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
  } const rows[] = {
      {"no content", {}, "anything", "else", NameType::FromTarget},
      {"no counting part",
       {hostmodel::TextPart("x"), Part("g", "Weight", "Value")},
       "a",
       "b",
       NameType::FromTarget},
      {"missing property is skipped",
       {Part("g", "sBOM Name", "Value", "", ""), Part("h", "eBOM Name", "Value")},
       "Bolt",
       "Bolt",
       NameType::FromTarget},
      {"two values as labelled", both, "Bolt M6", "Bolt M6", NameType::FromTarget},
      {"two values swapped", both, "Bolt M6", "M6 Bolt", NameType::Custom},
      {"value absent from the label", both, "Nut M6", "Bolt M6", NameType::Custom},
      {"name symbol stands in for the value", both, "Bolt M6", "SB-1 M6", NameType::FromTarget},
      {"parent relation",
       {Part("g", "sBOM Name", "Value", "Parent")},
       "in Frame",
       "in Frame",
       NameType::FromTarget},
      {"parent relation, another value in the name",
       {Part("g", "sBOM Name", "Value", "Parent")},
       "in Frame",
       "in Nut",
       NameType::Custom},
      {"parent name symbol",
       {Part("g", "sBOM Name", "Value", "Parent")},
       "Frame",
       "SB-0",
       NameType::FromTarget},
      {"empty value consumes nothing",
       {Part("g", "Display Name", "Value"), Part("g", "sBOM Name", "Value")},
       "Bolt",
       "Bolt",
       NameType::FromTarget},
      {"shorter name symbol, the next value follows it", both, "Hex bolt M6", "S4 M6",
       NameType::FromTarget, longer},
      {"shorter name symbol, the next value differs", both, "Hex bolt M6", "S4 M8",
       NameType::Custom, longer},
  };
  for (auto const& row : rows) {
    auto track = NewTrack(row.name);
    track->SetNameType(NameType::Unresolved);
    auto const instance = row.instance ? row.instance : sbom;
    hostseams::LedgerCheck ledger;
    track->ClassifyNameByLabelContent(instance, row.content, du::Symbol(row.label));
    EXPECT_TRUE(ledger.Balanced()) << row.what << '\n' << ledger.Difference();
    EXPECT_EQ(track->GetNameType(), Int(row.expected)) << row.what;
  }
}

TEST_F(TargetLookups, LabelContentCheckStopsAtTheFirstPartThatDoesNotMatch) {
  sbom->SetProperty("g", "sBOM Name", du::Symbol("Bolt"));
  sbom->SetProperty("g", "eBOM Name", du::Symbol("M6"));
  auto const both = qmannotations::LabelContentList{
      Part("g", "sBOM Name", "Value"), hostmodel::TextPart(" "), Part("g", "eBOM Name", "Value")};
  struct Row {
    char const* what;
    char const* label;
    char const* name;
    int lookups;  // properties looked up
  } const rows[] = {
      {"both match", "Bolt M6", "Bolt M6", 2},
      {"first value absent from the label", "Nut M6", "Bolt M6", 1},
      {"first value elsewhere in the name", "Bolt M6", "M6 Bolt", 1},
  };
  for (auto const& row : rows) {
    auto track = NewTrack(row.name);
    hostseams::CallLog::Start();
    track->ClassifyNameByLabelContent(sbom, both, du::Symbol(row.label));
    hostseams::CallLog::Stop();
    EXPECT_EQ(hostseams::CallLog::Count("qmk::illustration::SbomInstance::FindProperty"),
              row.lookups)
        << row.what;
  }
}

// What the module gives for objects that the host should not hand it: a callout without a
// definition shows no SBOM name, and a label-content check without an SBOM instance finds the
// name to be the track's own, whatever it is.
TEST_F(TargetLookups, CalloutWithoutDefinitionAndLabelCheckWithoutInstance) {
  auto bare = M().AddCallout("C", {}, "s1");
  bare->SetDefinition({});
  EXPECT_FALSE(illanimation::ShowsSbomName(bare));
  EXPECT_EQ(illanimation::FindCalloutSbomInstance(bare).get(), sbom.get());

  for (char const* name : {"anything", ""}) {
    auto track = NewTrack(name);
    track->SetNameType(NameType::Unresolved);
    hostseams::LedgerCheck ledger;
    track->ClassifyNameByLabelContent({}, {}, du::Symbol(name));
    EXPECT_TRUE(ledger.Balanced()) << ledger.Difference();
    EXPECT_EQ(track->GetNameType(), Int(NameType::Custom)) << name;
  }
}

}  // namespace
