// What a track shows for its target, how an unresolved track is classified, and how a
// callout track's name is matched against the callout's label.
#include "standin_texts.h"
#include "support.h"

namespace {

using namespace testsupport;
using hostmodel::Part;
using hostmodel::TextPart;

class TargetDescription : public PartTest {
 protected:
  TargetDescription() {
    sbom->SetProperty("g", "sBOM Name", du::Symbol("Bolt"));
    line->AddObject(part);
  }
  static std::string Describe(IllustrationItemTrack& track,
                              du::SmartPtr<animation::Target> const& target) {
    return track.GetTargetDescription(target).str();
  }
  // An annotation of the callout-label class that is not a callout.
  static du::SmartPtr<qmk::Annotation> NotACallout() {
    return PlainAnnotation(qmannotations::ConstStrings::qmCalloutLabel);
  }

  du::SmartPtr<qmannotations::CenterLinesAnnotation> line = M().AddCenterLine();
  du::SmartPtr<qmannotations::Callout> callout = M().AddCallout("C", {TextPart("label")}, "");
};

TEST_F(TargetDescription, OnlyAFollowingTrackShowsTheDisplayNameRefinedForGenericNamesAndCallouts) {
  auto const generic = standin::kDefaultGenericText;
  // Only an annotation item is asked for the annotation behind it.
  auto instanceOfACallout = M().AddObjectItem(sel::Instance, part, "Part shown");
  instanceOfACallout->SetAnnotation(callout);
  // Only an annotation of the centre-line class is resolved as a centre line.
  du::SmartPtr<qmannotations::CenterLinesAnnotation> filedElsewhere(
      new qmannotations::CenterLinesAnnotation(du::Symbol("Note")));
  filedElsewhere->AddObject(part);
  // Only an annotation of the callout-label class shows its label.
  du::SmartPtr<qmannotations::Callout> noteCallout(new qmannotations::Callout(du::Symbol("Note")));
  noteCallout->SetShortObjectDescription("D");
  struct Row {
    char const* what;
    du::SmartPtr<animation::Target> target;
    char const* shown;
  } const rows[] = {
      {"instance item that designates a callout too", Target(instanceOfACallout), "Part shown"},
      {"instance", ObjectTarget(sel::Instance, "Part shown"), "Part shown"},
      {"generic name of a centre line", AnnotationTarget(line, generic), "Part shown"},
      {"generic name of an instance", ObjectTarget(sel::Instance, generic), ""},
      {"generic name of a callout", AnnotationTarget(callout, generic), ""},
      {"generic name of a centre line of another class", AnnotationTarget(filedElsewhere, generic),
       ""},
      {"callout", AnnotationTarget(callout, "host callout name"), "C: label"},
      {"centre line with its own name", AnnotationTarget(line, "CL 1"), "CL 1"},
      {"callout-label class that is no callout", AnnotationTarget(NotACallout(), "host label name"),
       "host label name"},
      {"callout of another class", AnnotationTarget(noteCallout, "host note name"),
       "host note name"},
      {"callout without definition", AnnotationTarget(Bare("B"), "host name"), "B: "},
  };
  // A track of any other name type describes nothing and keeps its type.
  for (auto const& row : rows) {
    for (int type : {1, 0, 2, 4, -1}) {
      auto track = NewTrack("anything", static_cast<NameType>(type));
      EXPECT_EQ(Describe(*track, row.target), type == 1 ? row.shown : "") << row.what << type;
      EXPECT_EQ(track->GetNameType(), type) << row.what;
    }
  }
}

// Without the generic message in its catalogue, the lookup answers as action value 0 asks: with
// the message's id, which is then the generic name; the empty text is not.
TEST_F(TargetDescription, AMissingGenericMessageIsLookedUpAsItsId) {
  du::Localizer::RemoveMessage(standin::kGenericMessageCatalogue, standin::kGenericMessageId);
  for (auto const& [shown, expected] : {std::pair{"2045", "Part shown"}, std::pair{"", ""}})
    EXPECT_EQ(Describe(*NewTrack("", Follows), AnnotationTarget(line, shown)), expected) << shown;
  du::Localizer::SetMessage(standin::kGenericMessageCatalogue, standin::kGenericMessageId,
                            standin::kDefaultGenericText);
}

TEST_F(TargetDescription, UnresolvedTrackIsClassifiedByItsTarget) {
  auto note = PlainAnnotation(du::Symbol("Note"));
  du::SmartPtr<qmk::Object> notAnInstance(new qmk::Object);
  // The host's annotation folders are tracks of type 2.
  du::SmartPtr<animation::ContainerTrackData> folder(
      new animation::ContainerTrackData(static_cast<animation::TrackType>(2)));
  auto noAct = M().AddObjectItem(sel::Instance, part, "Part shown");
  noAct->SetActInstance({});
  // In the target's scene the item designates the part; elsewhere an instance of no SBOM name.
  auto actInTheScene = M().AddObjectItem(sel::Instance, M().AddInstance("i9", "other", "O"), "P");
  actInTheScene->SetActInstanceIn(scene.get(), part);
  auto named = Callout("C", {Part("g", "sBOM Name", "Value")}, "s1");
  auto face = GeometryTarget(sel::Face3D, "Face 7");
  auto bare = Bare("B", "s1");
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
      {"kind 1, name as shown", ObjectTarget(sel::Instance, "P", 1), "P", Default, ""},
      {"kind 1, own name", ObjectTarget(sel::Instance, "P", 1), "Mine", Own, ""},
      {"no target", {}, "Part shown", Unresolved, ""},
      {"no selection item", Target({}), "", Unresolved, ""},
      {"instance, name as shown", ObjectTarget(sel::Assembly, "P"), "P", Follows, "P"},
      {"instance, eBOM name", ObjectTarget(sel::Instance, "P"), "part.1", Follows, "P"},
      {"instance, own name", ObjectTarget(sel::Instance, "P"), "Mine", Own, ""},
      {"instance without act instance", Target(noAct), "Mine", Unresolved, ""},
      {"instance, eBOM name of the act instance in the target's scene", Target(actInTheScene),
       "part.1", Follows, "P"},
      {"instance under a folder", ObjectTarget(sel::Instance, "P"), "part.1", Follows, "P", true},
      {"face under a folder", face, "SB-1::x", Follows, "Face 7", true},
      {"face, name as shown", face, "Face 7", Follows, "Face 7"},
      {"face, instance name and more", face, "SB-1::Face 3::x", Follows, "Face 7"},
      {"face, other instance", face, "other::Face", Own, ""},
      {"face, no separator", face, "SB-1", Own, ""},
      {"face, separator first", face, "::SB-1", Own, ""},
      {"face item that is no geometry item", ObjectTarget(sel::Face3D, "F"), "x::y", Unresolved,
       ""},
      {"face whose parent is no instance",
       Target(M().AddGeometryItem(sel::ModelAnnotation3D, notAnInstance, "F")), "x::y", Unresolved,
       ""},
      {"centre line, name as shown", AnnotationTarget(line, "CL"), "CL", Follows, "CL"},
      {"centre line, instance name", AnnotationTarget(line, "CL"), "Sbom name", Follows, ""},
      {"centre line, own name", AnnotationTarget(line, "CL"), "Mine", Own, ""},
      {"centre line in no scene",
       hostmodel::Model::MakeTarget(M().AddAnnotationItem(line, "CL"), {}), "Sbom name", Follows,
       ""},
      {"callout, name as label", AnnotationTarget(callout, "C"), "C: label", Follows, "C: label"},
      {"callout, own name", AnnotationTarget(callout, "C"), "Mine", Own, ""},
      {"callout, first word and an SBOM name", AnnotationTarget(named, "C"), "Item SB-1", Follows,
       "Item C: Bolt"},
      {"group, first word and paired pieces",
       AnnotationTarget(Group({named, Callout("P", {TextPart("text")})}), "G"), "G: SB-1, free",
       Follows, "G: Sbom shown, free"},
      {"callout without definition, name as label", AnnotationTarget(bare, "B"), "B: ", Follows,
       "B: "},
      {"callout without definition, prefix and SBOM name", AnnotationTarget(bare, "B"), "Item SB-1",
       Own, ""},
      {"callout-label class that is no callout, name as shown",
       AnnotationTarget(NotACallout(), "L"), "L", Default, ""},
      {"callout-label class that is no callout, own name", AnnotationTarget(NotACallout(), "L"),
       "Mine", Own, ""},
      {"other annotation, name as shown", AnnotationTarget(note, "N"), "N", Default, ""},
      {"other annotation, own name", AnnotationTarget(note, "N"), "Mine", Own, ""},
      {"annotation under a folder", AnnotationTarget(line, "CL"), "CL", Default, "", true},
      {"missing annotation under a folder", AnnotationTarget({}, "A"), "B", Own, "", true},
      {"missing annotation", AnnotationTarget({}, "A"), "A", Unresolved, ""},
      {"collection", ObjectTarget(sel::Collection, "Coll"), "Coll", Default, ""},
      {"collection that designates a centre line, name as shown", Target(collectionOfTheLine),
       "Coll", Default, ""},
      {"collection that designates a centre line, own name", Target(collectionOfTheLine), "Mine",
       Own, ""},
  };
  for (auto const& row : rows) {
    auto track = NewTrack(row.name, Unresolved);
    if (row.underFolder) track->SetParent(folder.get());
    EXPECT_EQ(Describe(*track, row.target), row.shown) << row.what;
    EXPECT_EQ(track->GetNameType(), Int(row.expected)) << row.what;
  }
}

TEST_F(TargetDescription, ClassificationWaitsForMissingPiecesAndThenOnlyDescribes) {
  auto track = NewTrack("Sbom name", Unresolved);
  auto target = Target({});
  EXPECT_EQ(Describe(*track, target), "");
  EXPECT_EQ(track->GetNameType(), Int(Unresolved));
  target->m_selectionItem = M().AddAnnotationItem(line, "CL");
  EXPECT_EQ(Describe(*track, target), "");  // classified now, shown from the next call on
  EXPECT_EQ(track->GetNameType(), Int(Follows));
  EXPECT_EQ(Describe(*track, target), "CL");
  track->SetTrackName("renamed by hand", {});
  EXPECT_EQ(Describe(*track, target), "CL");
}

class CalloutNameMatching : public TargetDescription {
 protected:
  // A callout labelling `sbomId` with its "sBOM Name", and one with plain text; kind 1 and
  // type 2 make either typed.
  du::SmartPtr<qmannotations::Callout> Named(std::string const& sbomId, int kind = 0,
                                             int type = 0) {
    return Callout("C", {Part("g", "sBOM Name", "Value")}, sbomId, kind, type);
  }
  du::SmartPtr<qmannotations::Callout> Plain(std::string const& sbomId = "", int kind = 0,
                                             int type = 0) {
    return Callout("P", {TextPart("text")}, sbomId, kind, type);
  }
  // Classifies a track of that name against the label and returns the label text it leaves.
  std::string Classify(IllustrationItemTrack& track,
                       du::SmartPtr<qmannotations::Callout> const& callout, char const* label) {
    du::Symbol text(label);
    track.ClassifyCalloutLabelName(callout, text);
    return text.str();
  }
};

TEST_F(CalloutNameMatching, SingleCalloutsByKindTypeAndLabelAndGroupsByPiecesOfTheName) {
  auto typed = Named("s1", 1, 2);
  auto untyped = Named("s1", 1);
  struct Row {
    char const* what;
    du::SmartPtr<qmannotations::Callout> callout;
    std::string name;
    char const* label;
    NameType expected;
    char const* text;  // the label text left; a group leaves "(label)" alone when it gives up
  } const rows[] = {
      {"name equals label", Plain(), "C: Bolt", "C: Bolt", Follows, "C: Bolt"},
      {"prefix and an SBOM name", Named("s1"), "Item SB-1", "C: Bolt", Follows, "Item C: Bolt"},
      {"prefix and another name", Named("s1"), "Item Nut", "C: Bolt", Own, "Item C: Bolt"},
      {"no space, empty remainder", Named("s1"), "SB-1", "C: Bolt", Own, "C: Bolt"},
      {"prefix with an empty label", Named("s1"), "Item SB-1", "", Follows, "Item "},
      {"no SBOM instance found", Named("nope"), "Item SB-1", "C: Bolt", Unresolved, "C: Bolt"},
      {"label shows no SBOM name", Plain(), "Item SB-1", "P: text", Own, "P: text"},
      {"kind 1 without type 2", untyped, "Item SB-1", "C: Bolt", Own, "C: Bolt"},
      {"kind 1 without type 2, content matches", untyped, "C: SB-1", "C: Bolt", Own, "C: Bolt"},
      {"kind 1, type 2, content matches", typed, "C: SB-1", "C: Bolt", Follows, "C: Bolt"},
      {"kind 1, type 2, content differs", typed, "C: Nut", "C: Bolt", Own, "C: Bolt"},
      {"kind 1, type 2, no SBOM name", Plain("", 1, 2), "x", "P: text", Own, "P: text"},
      {"kind 1, type 2, no SBOM name shown of an instance", Plain("s1", 1, 2), "x", "P: text", Own,
       "P: text"},
      {"group of SBOM and plain members", Group({Named("s1"), Plain(), Plain()}), "G: SB-1, free",
       "(label)", Follows, "G: Sbom shown, free"},
      {"group, SBOM member whose piece differs", Group({Named("s1"), Plain()}), "G: Nut, free",
       "(label)", Own, "(label)"},
      {"group, SBOM member without instance", Group({Named("nope")}), "G: SB-1", "(label)", Own,
       "(label)"},
      {"group, plain members keep their pieces", Group({Plain(), Plain()}), "G: a, b", "(label)",
       Follows, "G: a, b"},
      {"group, more pieces than members", Group({Plain()}), "G: a, b, c", "(label)", Follows,
       "G: a"},
      {"group, trailing separator", Group({Plain(), Plain()}), "G: a, ", "(label)", Follows,
       "G: a"},
      {"group, leading and double separators", Group({Plain(), Plain(), Plain()}), "G: , a, , b",
       "(label)", Follows, "G: , a, "},
      {"group without members", Group({}), "G: a, b", "(label)", Follows, "G: "},
      {"group, no space in the name", Group({Plain()}), "G:a", "(label)", Follows, ""},
  };
  for (auto const& row : rows) {
    auto track = NewTrack(row.name, Unresolved);
    EXPECT_EQ(Classify(*track, row.callout, row.label), row.text) << row.what;
    EXPECT_EQ(track->GetNameType(), Int(row.expected)) << row.what;
  }
}

}  // namespace
