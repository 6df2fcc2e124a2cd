// What a track shows for its target, how an unresolved track is classified, and how a
// callout track's name is matched against the callout's label.
#include <regex>

#include "standin_texts.h"
#include "support.h"

namespace {

using namespace testsupport;
using hostmodel::Part;
using hostmodel::TextPart;
namespace sel = qmk::mcad_selection;

class TargetDescription : public PartTest {
 protected:
  TargetDescription() {
    sbom->SetProperty("g", "sBOM Name", du::Symbol("Bolt"));
    line = M().AddCenterLine();
    line->AddObject(part);
    callout = M().AddCallout("C", {TextPart("label")}, "");
    folder = new animation::ContainerTrackData(animation::TT_AnnotationFolder);
  }
  du::SmartPtr<IllustrationItemTrack> Track(std::string const& name, NameType type) {
    return MakeTrack(timeline_, name, type);
  }
  // Describes the target and checks that every reference taken was given back.
  std::string Describe(IllustrationItemTrack& track,
                       du::SmartPtr<animation::Target> const& target) {
    hostseams::LedgerCheck ledger;
    auto const text = track.GetTargetDescription(target).str();
    EXPECT_TRUE(ledger.Balanced()) << ledger.Difference();
    return text;
  }

  // An annotation of the callout-label class that is not a callout.
  static du::SmartPtr<qmk::Annotation> NotACallout() {
    return du::SmartPtr<qmk::Annotation>(
        new qmk::Annotation(qmannotations::ConstStrings::qmCalloutLabel));
  }

  du::SmartPtr<qmannotations::CenterLinesAnnotation> line;
  du::SmartPtr<qmannotations::Callout> callout;
  du::SmartPtr<animation::ContainerTrackData> folder;
};

TEST_F(TargetDescription, OnlyAFollowingTrackDescribesAndOthersKeepTheirType) {
  auto target = Target(M().AddObjectItem(sel::Instance, part, "Part shown"));
  for (int type : {0, 2, 4, -1}) {
    auto track = NewTrack("Part shown");
    track->SetNameType(static_cast<NameType>(type));
    EXPECT_EQ(Describe(*track, target), "");
    EXPECT_EQ(track->GetNameType(), type);
  }
  auto unresolved = Track("Part shown", NameType::Unresolved);
  EXPECT_EQ(Describe(*unresolved, {}), "");
  EXPECT_EQ(unresolved->GetNameType(), Int(NameType::Unresolved));
}

TEST_F(TargetDescription, FollowingTrackShowsTheDisplayNameRefinedForGenericNamesAndCallouts) {
  auto const generic = standin::kDefaultGenericText;
  auto lineItem = M().AddAnnotationItem(line, generic);
  auto calloutItem = M().AddAnnotationItem(callout, "host callout name");
  auto bare = M().AddCallout("B", {}, "");
  bare->SetDefinition({});
  // Only an annotation item is asked for the annotation behind it.
  auto instanceOfACallout = M().AddObjectItem(sel::Instance, part, "Part shown");
  instanceOfACallout->SetAnnotation(callout);
  struct Row {
    char const* what;
    du::SmartPtr<animation::Target> target;
    char const* shown;
  } const rows[] = {
      {"instance item that designates a callout too", Target(instanceOfACallout), "Part shown"},
      {"instance", Target(M().AddObjectItem(sel::Instance, part, "Part shown")), "Part shown"},
      {"generic name of a centre line", Target(lineItem), "Part shown"},
      {"generic name of an instance", Target(M().AddObjectItem(sel::Instance, part, generic)), ""},
      {"callout", Target(calloutItem), "C: label"},
      {"centre line with its own name", Target(M().AddAnnotationItem(line, "CL 1")), "CL 1"},
      {"callout-label class that is no callout",
       Target(M().AddAnnotationItem(NotACallout(), "host label name")), "host label name"},
      {"callout without definition", Target(M().AddAnnotationItem(bare, "host name")), "B: "},
  };
  for (auto const& row : rows) {
    auto track = Track("anything", NameType::FromTarget);
    EXPECT_EQ(Describe(*track, row.target), row.shown) << row.what;
    EXPECT_EQ(track->GetNameType(), Int(NameType::FromTarget));
  }
}

TEST_F(TargetDescription, UnresolvedTrackIsClassifiedByItsTarget) {
  du::SmartPtr<qmk::Annotation> note(new qmk::Annotation(du::Symbol("Note")));
  du::SmartPtr<qmk::Object> notAnInstance(new qmk::Object);
  auto noAct = M().AddObjectItem(sel::Instance, part, "Part shown");
  noAct->SetActInstance({});
  auto face = Target(M().AddGeometryItem(sel::Face3D, part, "Face 7"));
  auto bare = M().AddCallout("B", {}, "s1");
  bare->SetDefinition({});
  // Only an annotation item is classified by the annotation behind it.
  auto collectionOfTheLine = M().AddObjectItem(sel::Collection, part, "Coll");
  collectionOfTheLine->SetAnnotation(line);
  struct Row {
    char const* what;
    du::SmartPtr<animation::Target> target;
    std::string name;
    NameType expected;
    char const* shown;
    bool underFolder = false;
  } const rows[] = {
      {"kind 1, name as shown", Target(M().AddObjectItem(sel::Instance, part, "P"), 1), "P",
       NameType::Default, ""},
      {"kind 1, own name", Target(M().AddObjectItem(sel::Instance, part, "P"), 1), "Mine",
       NameType::Custom, ""},
      {"no selection item", Target({}), "", NameType::Unresolved, ""},
      {"instance, name as shown", Target(M().AddObjectItem(sel::Assembly, part, "P")), "P",
       NameType::FromTarget, "P"},
      {"instance, eBOM name", Target(M().AddObjectItem(sel::Instance, part, "P")), "part.1",
       NameType::FromTarget, "P"},
      {"instance, own name", Target(M().AddObjectItem(sel::Instance, part, "P")), "Mine",
       NameType::Custom, ""},
      {"instance without act instance", Target(noAct), "Mine", NameType::Unresolved, ""},
      {"face, name as shown", face, "Face 7", NameType::FromTarget, "Face 7"},
      {"face, instance name and more", face, "SB-1::Face 3::x", NameType::FromTarget, "Face 7"},
      {"face, other instance", face, "other::Face", NameType::Custom, ""},
      {"face, no separator", face, "SB-1", NameType::Custom, ""},
      {"face, separator first", face, "::SB-1", NameType::Custom, ""},
      {"face item that is no geometry item", Target(M().AddObjectItem(sel::Face3D, part, "F")),
       "x::y", NameType::Unresolved, ""},
      {"face whose parent is no instance",
       Target(M().AddGeometryItem(sel::ModelAnnotation3D, notAnInstance, "F")), "x::y",
       NameType::Unresolved, ""},
      {"centre line, name as shown", Target(M().AddAnnotationItem(line, "CL")), "CL",
       NameType::FromTarget, "CL"},
      {"centre line, instance name", Target(M().AddAnnotationItem(line, "CL")), "Sbom name",
       NameType::FromTarget, ""},
      {"centre line, own name", Target(M().AddAnnotationItem(line, "CL")), "Mine", NameType::Custom,
       ""},
      {"callout, name as label", Target(M().AddAnnotationItem(callout, "C")), "C: label",
       NameType::FromTarget, "C: label"},
      {"callout, own name", Target(M().AddAnnotationItem(callout, "C")), "Mine", NameType::Custom,
       ""},
      {"callout without definition, name as label", Target(M().AddAnnotationItem(bare, "B")),
       "B: ", NameType::FromTarget, "B: "},
      {"callout without definition, prefix and SBOM name", Target(M().AddAnnotationItem(bare, "B")),
       "Item SB-1", NameType::Custom, ""},
      {"callout-label class that is no callout, name as shown",
       Target(M().AddAnnotationItem(NotACallout(), "L")), "L", NameType::Default, ""},
      {"callout-label class that is no callout, own name",
       Target(M().AddAnnotationItem(NotACallout(), "L")), "Mine", NameType::Custom, ""},
      {"other annotation, name as shown", Target(M().AddAnnotationItem(note, "N")), "N",
       NameType::Default, ""},
      {"other annotation, own name", Target(M().AddAnnotationItem(note, "N")), "Mine",
       NameType::Custom, ""},
      {"annotation under a folder", Target(M().AddAnnotationItem(line, "CL")), "CL",
       NameType::Default, "", true},
      {"missing annotation under a folder", Target(M().AddAnnotationItem({}, "A")), "B",
       NameType::Custom, "", true},
      {"missing annotation", Target(M().AddAnnotationItem({}, "A")), "A", NameType::Unresolved, ""},
      {"collection", Target(M().AddObjectItem(sel::Collection, part, "Coll")), "Coll",
       NameType::Default, ""},
      {"collection that designates a centre line, name as shown", Target(collectionOfTheLine),
       "Coll", NameType::Default, ""},
      {"collection that designates a centre line, own name", Target(collectionOfTheLine), "Mine",
       NameType::Custom, ""},
  };
  for (auto const& row : rows) {
    auto track = Track(row.name, NameType::Unresolved);
    if (row.underFolder) track->SetParent(folder.get());
    EXPECT_EQ(Describe(*track, row.target), row.shown) << row.what;
    EXPECT_EQ(track->GetNameType(), Int(row.expected)) << row.what;
  }
}

TEST_F(TargetDescription, ClassificationWaitsForMissingPiecesAndThenOnlyDescribes) {
  auto track = Track("Sbom name", NameType::Unresolved);
  auto target = Target({});
  EXPECT_EQ(Describe(*track, target), "");
  EXPECT_EQ(track->GetNameType(), Int(NameType::Unresolved));
  target->m_selectionItem = M().AddAnnotationItem(line, "CL");
  EXPECT_EQ(Describe(*track, target), "");  // classified now, shown from the next call on
  EXPECT_EQ(track->GetNameType(), Int(NameType::FromTarget));
  EXPECT_EQ(Describe(*track, target), "CL");
  track->SetTrackName("renamed by hand", {});
  EXPECT_EQ(Describe(*track, target), "CL");
}

class CalloutNameMatching : public TargetDescription {
 protected:
  // A callout of the given kind labelling `sbomId` with its "sBOM Name".
  du::SmartPtr<qmannotations::Callout> Named(std::string const& sbomId, int kind = 0) {
    auto named = M().AddCallout("C", {Part("g", "sBOM Name", "Value")}, sbomId);
    named->m_calloutKind = kind;
    return named;
  }
  du::SmartPtr<qmannotations::Callout> Plain() {
    return M().AddCallout("P", {TextPart("text")}, "");
  }
  du::SmartPtr<qmannotations::Callout> Group(
      std::vector<du::SmartPtr<qmannotations::Callout>> members) {
    auto group = M().AddCallout("G", {}, "");
    group->SetGroup(true);
    group->m_groupMembers = std::move(members);
    return group;
  }
};

TEST_F(CalloutNameMatching, SingleCalloutsByKindTypeAndLabel) {
  auto typed = Named("s1", 1);
  typed->SetType(2);
  auto typedPlain = Plain();
  typedPlain->m_calloutKind = 1;
  typedPlain->SetType(2);
  auto typedPlainOfAnInstance = M().AddCallout("P", {TextPart("text")}, "s1");
  typedPlainOfAnInstance->m_calloutKind = 1;
  typedPlainOfAnInstance->SetType(2);
  auto untyped = Named("s1", 1);
  struct Row {
    char const* what;
    du::SmartPtr<qmannotations::Callout> callout;
    std::string name;
    char const* label;
    NameType expected;
    char const* text;
  } const rows[] = {
      {"name equals label", Plain(), "C: Bolt", "C: Bolt", NameType::FromTarget, "C: Bolt"},
      {"prefix and an SBOM name", Named("s1"), "Item SB-1", "C: Bolt", NameType::FromTarget,
       "Item C: Bolt"},
      {"prefix and another name", Named("s1"), "Item Nut", "C: Bolt", NameType::Custom,
       "Item C: Bolt"},
      {"no space, empty remainder", Named("s1"), "SB-1", "C: Bolt", NameType::Custom, "C: Bolt"},
      {"prefix with an empty label", Named("s1"), "Item SB-1", "", NameType::FromTarget, "Item "},
      {"no SBOM instance found", Named("nope"), "Item SB-1", "C: Bolt", NameType::Unresolved,
       "C: Bolt"},
      {"label shows no SBOM name", Plain(), "Item SB-1", "P: text", NameType::Custom, "P: text"},
      {"kind 1 without type 2", untyped, "Item SB-1", "C: Bolt", NameType::Custom, "C: Bolt"},
      {"kind 1 without type 2, content matches", untyped, "C: SB-1", "C: Bolt", NameType::Custom,
       "C: Bolt"},
      {"kind 1, type 2, content matches", typed, "C: SB-1", "C: Bolt", NameType::FromTarget,
       "C: Bolt"},
      {"kind 1, type 2, content differs", typed, "C: Nut", "C: Bolt", NameType::Custom, "C: Bolt"},
      {"kind 1, type 2, no SBOM name", typedPlain, "x", "P: text", NameType::Custom, "P: text"},
      {"kind 1, type 2, no SBOM name shown of an instance", typedPlainOfAnInstance, "x", "P: text",
       NameType::Custom, "P: text"},
  };
  for (auto const& row : rows) {
    auto track = Track(row.name, NameType::Unresolved);
    du::Symbol text(row.label);
    hostseams::LedgerCheck ledger;
    text = track->ClassifyCalloutLabelName(row.callout, text);
    EXPECT_TRUE(ledger.Balanced()) << row.what << '\n' << ledger.Difference();
    EXPECT_EQ(track->GetNameType(), Int(row.expected)) << row.what;
    EXPECT_EQ(text.str(), row.text) << row.what;
  }
}

TEST_F(CalloutNameMatching, GroupPairsMembersWithPiecesOfTheName) {
  struct Row {
    char const* what;
    std::vector<du::SmartPtr<qmannotations::Callout>> members;
    std::string name;
    NameType expected;
    char const* text;  // "(label)" when the label is to be left alone
  } const rows[] = {
      {"SBOM member and plain member",
       {Named("s1"), Plain(), Plain()},
       "G: SB-1, free",
       NameType::FromTarget,
       "G: Sbom shown, free"},
      {"SBOM member whose piece differs",
       {Named("s1"), Plain()},
       "G: Nut, free",
       NameType::Custom,
       "(label)"},
      {"SBOM member without instance", {Named("nope")}, "G: SB-1", NameType::Custom, "(label)"},
      {"plain members keep their pieces",
       {Plain(), Plain()},
       "G: a, b",
       NameType::FromTarget,
       "G: a, b"},
      {"more pieces than members", {Plain()}, "G: a, b, c", NameType::FromTarget, "G: a"},
      {"trailing separator", {Plain(), Plain()}, "G: a, ", NameType::FromTarget, "G: a"},
      {"leading and double separators",
       {Plain(), Plain(), Plain()},
       "G: , a, , b",
       NameType::FromTarget,
       "G: , a, "},
      {"no members", {}, "G: a, b", NameType::FromTarget, "G: "},
      {"no space in the name", {Plain()}, "G:a", NameType::FromTarget, ""},
  };
  for (auto const& row : rows) {
    auto track = Track(row.name, NameType::Unresolved);
    auto group = Group(row.members);
    du::Symbol text("(label)");
    hostseams::LedgerCheck ledger;
    text = track->ClassifyCalloutLabelName(group, text);
    EXPECT_TRUE(ledger.Balanced()) << row.what << '\n' << ledger.Difference();
    EXPECT_EQ(track->GetNameType(), Int(row.expected)) << row.what;
    EXPECT_EQ(text.str(), row.text) << row.what;
  }
}

TEST(NameRemainderSplit, AgreesWithTheSeparatorExpression) {
  std::regex const separator(", ", std::regex::ECMAScript);
  for (std::string const text : {"", "a", ", ", "a, b", ", a", "a, ", "a, , b", "a,b", "a,  b",
                                 ", , ", "one, two, three", ",", " , "}) {
    std::vector<std::string> const expected(
        std::sregex_token_iterator(text.begin(), text.end(), separator, -1),
        std::sregex_token_iterator());
    // The empty text is one empty piece, as for the expression.
    EXPECT_EQ(illanimation::SplitNameRemainder(text), expected) << '"' << text << '"';
  }
}

}  // namespace
