// What a track shows for its target, how an unresolved track is classified, and how a
// callout track's name is matched against the callout's label.
#include <cstdlib>
#include <map>
#include <sstream>

#include "illhost/rows.h"
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

  // A callout as callout_names.tsv writes it: "named" (its label shows the "sBOM Name" of the
  // SBOM instance it is attached to) or "plain" (text), then ":id:kind:type" as far as given;
  // "group" followed by such members. Kind 1 and type 2 make a callout typed.
  du::SmartPtr<qmannotations::Callout> CalloutOf(std::string const& spec) {
    std::istringstream words(spec);
    std::vector<du::SmartPtr<qmannotations::Callout>> members;
    for (std::string word; words >> word;) {
      std::vector<std::string> field{""};
      for (char ch : word) {
        if (ch == ':')
          field.emplace_back();
        else
          field.back() += ch;
      }
      field.resize(4);
      bool const named = field[0] == "named";
      if (!named && field[0] != "plain") continue;  // "group"
      members.push_back(
          Callout(named ? "C" : "P", {named ? Part("g", "sBOM Name", "Value") : TextPart("text")},
                  field[1], std::atoi(field[2].c_str()), std::atoi(field[3].c_str())));
    }
    return spec.rfind("group", 0) == 0 ? Group(members) : members.at(0);
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

// The kinds of target that the property test of a track's life classifies and describes
// (instances, faces, collections, other annotations, missing pieces), and a target whose item
// comes after the first description, are not repeated here.
TEST_F(TargetDescription, UnresolvedTrackIsClassifiedByItsTarget) {
  du::SmartPtr<qmk::Object> notAnInstance(new qmk::Object);
  // The parents that classified.tsv names: the host's annotation folders are tracks of type 2.
  std::map<std::string, du::SmartPtr<animation::ContainerTrackData>> const parents{
      {"folder", new animation::ContainerTrackData(static_cast<animation::TrackType>(2))},
      {"type 3", new animation::ContainerTrackData(static_cast<animation::TrackType>(3))}};
  auto named = Callout("C", {Part("g", "sBOM Name", "Value")}, "s1");
  // Only an annotation item is classified by the annotation behind it.
  auto collectionOfTheLine = M().AddObjectItem(sel::Collection, part, "Coll");
  collectionOfTheLine->SetAnnotation(line);
  // The targets that classified.tsv names.
  std::map<std::string, du::SmartPtr<animation::Target>> const targets{
      {"assembly", ObjectTarget(sel::Assembly, "P")},
      {"instance", ObjectTarget(sel::Instance, "P")},
      {"instance of kind 3", ObjectTarget(sel::Instance, "P", 3)},
      {"face", GeometryTarget(sel::Face3D, "Face 7")},
      {"face item of no geometry", ObjectTarget(sel::Face3D, "F")},
      {"face of no instance",
       Target(M().AddGeometryItem(sel::ModelAnnotation3D, notAnInstance, "F"))},
      {"centre line", AnnotationTarget(line, "CL")},
      {"centre line in no scene",
       hostmodel::Model::MakeTarget(M().AddAnnotationItem(line, "CL"), {})},
      {"callout", AnnotationTarget(callout, "C")},
      {"named callout", AnnotationTarget(named, "C")},
      {"group", AnnotationTarget(Group({named, Callout("P", {TextPart("text")})}), "G")},
      {"bare callout", AnnotationTarget(Bare("B", "s1"), "B")},
      {"not a callout", AnnotationTarget(NotACallout(), "L")},
      {"missing annotation", AnnotationTarget({}, "A")},
      {"collection of the line", Target(collectionOfTheLine)},
  };
  // Columns: what, target, track name, name type, shown, the parent of the track if any.
  int const rows = test_rows::ForEachRow(MODULE_TEST_DATA_DIR "/classified.tsv", [&](auto& row) {
    auto track = NewTrack(row.at(2), Unresolved);
    if (!row.at(5).empty()) track->SetParent(parents.at(row[5]).get());
    EXPECT_EQ(Describe(*track, targets.at(row.at(1))), row.at(4)) << row.at(0);
    EXPECT_EQ(track->GetNameType(), Int(NameTypeNamed(row.at(3)))) << row.at(0);
  });
  EXPECT_GT(rows, 20);
}

// A track of each row's name is classified against the callout's label; the label text it
// leaves is checked too (a group leaves "(label)" alone when it gives up).
TEST_F(TargetDescription, CalloutNamesMatchSinglesByKindTypeAndLabelAndGroupsByPieces) {
  int const rows = test_rows::ForEachRow(MODULE_TEST_DATA_DIR "/callout_names.tsv", [&](auto& row) {
    auto track = NewTrack(row.at(2), Unresolved);
    du::Symbol text(row.at(3));
    track->ClassifyCalloutLabelName(CalloutOf(row.at(1)), text);
    EXPECT_EQ(text.str(), row.at(5)) << row.at(0);
    EXPECT_EQ(track->GetNameType(), Int(NameTypeNamed(row.at(4)))) << row.at(0);
  });
  EXPECT_GT(rows, 20);
}

}  // namespace
