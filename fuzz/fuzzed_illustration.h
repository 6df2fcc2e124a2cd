// An illustration built from fuzz input: SBOM instances with parents and properties, part
// instances linked to them, callouts with label content and groups, centre lines with objects
// or pending objects, and targets of every kind over them. Texts are drawn mostly from the
// names that the module looks for, so that the input reaches its matches.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "IllustrationItemTrack.h"
#include "center_line_fixture.h"
#include "hostseams.h"
#include "model.h"
#include "standin_texts.h"
#include "track_factories.h"
#include "track_maker.h"

namespace fuzzmodel {

class FuzzedIllustration {
 public:
  explicit FuzzedIllustration(FuzzedDataProvider& in) : in_(in) {
    illanimation::InstallTrackFactories();
    shapes_ = model_.AddShapeScene(in_.ConsumeBool());
    plain_ = model_.AddPlainScene();
    int const sboms = in_.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < sboms; ++i) {
      auto sbom = model_.AddSbom("s" + std::to_string(i), Text(), Text(), Text());
      for (int p = in_.ConsumeIntegralInRange(0, 3); p > 0; --p)
        sbom->SetProperty(Pick({"g", ""}), Pick({"sBOM Name", "Display Name", "eBOM Name", "x"}),
                          du::Symbol(Text()));
      if (!sboms_.empty() && in_.ConsumeBool()) sbom->SetParent(Any(sboms_).get());
      sboms_.push_back(sbom);
      auto part = model_.AddInstance("i" + std::to_string(i), Text(), Text());
      if (in_.ConsumeBool()) hostmodel::Model::Link(part, sbom);
      parts_.push_back(part);
    }
    for (int i = in_.ConsumeIntegralInRange(0, 5); i > 0; --i) AddCallout();
    for (int i = in_.ConsumeIntegralInRange(0, 3); i > 0; --i) AddCenterLine();
  }

  FuzzedIllustration(FuzzedIllustration const&) = delete;
  FuzzedIllustration& operator=(FuzzedIllustration const&) = delete;

  // A short text: one of the names the module compares with, or bytes of the input.
  std::string Text() {
    switch (in_.ConsumeIntegralInRange(0, 3)) {
      case 0:
        return in_.ConsumeRandomLengthString(24);
      case 1:
        return Pick(
            {"", " ", ", ", "::", "C: ", "Item ", "Parent", "Value", "qmTAG", "**", "\\", "\n"});
      case 2:
        return sboms_.empty() ? std::string() : Any(sboms_)->m_name.str();
      default:
        return Text() + Text();
    }
  }

  std::string Pick(std::initializer_list<char const*> choices) {
    return *(choices.begin() + in_.ConsumeIntegralInRange<std::size_t>(0, choices.size() - 1));
  }

  template <class T>
  T const& Any(std::vector<T> const& from) {
    return from[in_.ConsumeIntegralInRange<std::size_t>(0, from.size() - 1)];
  }

  qmannotations::LabelContentList Content() {
    qmannotations::LabelContentList content;
    for (int i = in_.ConsumeIntegralInRange(0, 4); i > 0; --i) {
      if (in_.ConsumeIntegralInRange(0, 7) == 0) {
        content.push_back({});
        continue;
      }
      content.push_back(hostmodel::Part(
          Pick({"g", ""}), Pick({"sBOM Name", "Display Name", "eBOM Name", "qmTAG", "x"}),
          Pick({"Value", "", "Text"}), Pick({"", "Parent"}), Text()));
    }
    return content;
  }

  du::SmartPtr<qmannotations::Callout> AddCallout() {
    std::string const sbomId =
        in_.ConsumeBool() ? "s" + std::to_string(in_.ConsumeIntegralInRange(0, 4)) : "";
    auto callout = model_.AddCallout(Text(), Content(), sbomId);
    callout->m_calloutKind = in_.ConsumeIntegralInRange(0, 3);
    callout->SetType(in_.ConsumeIntegralInRange(0, 3));
    callout->SetMarkdown(in_.ConsumeBool());
    callout->SetObjectText(Text());
    if (!callouts_.empty() && in_.ConsumeBool()) {
      callout->SetGroup(true);
      for (int i = in_.ConsumeIntegralInRange(0, 4); i > 0; --i)
        callout->m_groupMembers.push_back(
            in_.ConsumeBool() ? Any(callouts_) : du::SmartPtr<qmannotations::Callout>());
    }
    callouts_.push_back(callout);
    return callout;
  }

  // A centre line with an object, with a pending object or with neither.
  void AddCenterLine() {
    if (!parts_.empty() && in_.ConsumeBool()) {
      auto line = model_.AddCenterLine();
      line->AddObject(Any(parts_));
      lines_.push_back(line);
    } else if (in_.ConsumeBool()) {
      du::Symbol const type(Pick({"Instance", "Assembly", "Collection", "Face3D"}));
      std::string const field = Pick({"instance", "parent_instance", "sbomInstanceId"});
      std::string const value = in_.ConsumeBool() ? Pick({"i0", "s0", "i1", "s1"}) : Text();
      lines_.push_back(testsupport::AddPendingCenterLine(model_, type, {{field, value}}));
    } else {
      lines_.push_back(model_.AddCenterLine());
    }
  }

  du::SmartPtr<qmk::Scene> Scene() {
    switch (in_.ConsumeIntegralInRange(0, 2)) {
      case 0:
        return shapes_;
      case 1:
        return plain_;
      default:
        return {};
    }
  }

  // A target of any kind: instances, geometry, centre lines, callouts, other annotations,
  // missing items and missing annotations.
  du::SmartPtr<animation::Target> Target() {
    namespace sel = qmk::mcad_selection;
    du::SmartPtr<qmk::SelectionItem> item;
    std::string const shown = Text();
    switch (in_.ConsumeIntegralInRange(0, 7)) {
      case 0:
        if (!parts_.empty())
          item = model_.AddObjectItem(in_.ConsumeBool() ? sel::Instance : sel::Assembly,
                                      Any(parts_), shown);
        break;
      case 1:
        if (!parts_.empty())
          item = model_.AddGeometryItem(in_.ConsumeBool() ? sel::Face3D : sel::ModelAnnotation3D,
                                        Any(parts_), shown);
        break;
      case 2:
        if (!lines_.empty())
          item = model_.AddAnnotationItem(Any(lines_),
                                          in_.ConsumeBool() ? standin::kDefaultGenericText : shown);
        break;
      case 3:
        if (!callouts_.empty()) item = model_.AddAnnotationItem(Any(callouts_), shown);
        break;
      case 4:
        item = model_.AddAnnotationItem(
            du::SmartPtr<qmk::Annotation>(new qmk::Annotation(du::Symbol(Text()))), shown);
        break;
      case 5:
        item = model_.AddAnnotationItem({}, shown);
        break;
      case 6:
        if (!parts_.empty()) item = model_.AddObjectItem(sel::Collection, Any(parts_), shown);
        break;
      default:
        break;
    }
    if (item && in_.ConsumeIntegralInRange(0, 7) == 0) item->SetActInstance({});
    return hostmodel::Model::MakeTarget(item, Scene(), in_.ConsumeIntegralInRange(0, 3));
  }

  du::SmartPtr<illanimation::IllustrationItemTrack> Track(illanimation::NameType type) {
    auto track = testsupport::MakeTrack(timeline_, Text(), type);
    if (in_.ConsumeIntegralInRange(0, 7) == 0) track->SetParent(folder_.get());
    return track;
  }

  std::vector<du::SmartPtr<qmannotations::Callout>> const& Callouts() const { return callouts_; }
  std::vector<du::SmartPtr<qmk::illustration::SbomInstance>> const& Sboms() const { return sboms_; }
  du::SmartPtr<qmk::ShapeScene> const& Shapes() const { return shapes_; }

 private:
  FuzzedDataProvider& in_;
  hostmodel::Model model_;
  du::SmartPtr<qmk::ShapeScene> shapes_;
  du::SmartPtr<qmk::Scene> plain_;
  du::SmartPtr<animation::Timeline> timeline_{new animation::Timeline};
  du::SmartPtr<animation::ContainerTrackData> folder_{
      new animation::ContainerTrackData(animation::TT_AnnotationFolder)};
  std::vector<du::SmartPtr<qmk::illustration::SbomInstance>> sboms_;
  std::vector<du::SmartPtr<qmk::Instance>> parts_;
  std::vector<du::SmartPtr<qmannotations::Callout>> callouts_;
  std::vector<du::SmartPtr<qmannotations::CenterLinesAnnotation>> lines_;
};

// Every counted reference that a step takes must be given back.
template <class Step>
void Balanced(Step&& step) {
  hostseams::LedgerCheck ledger;
  step();
  if (!ledger.Balanced()) {
    fprintf(stderr, "references not given back:\n%s", ledger.Difference().c_str());
    std::abort();
  }
}

}  // namespace fuzzmodel
