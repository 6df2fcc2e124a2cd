// A first demo host: loads the module as the host does, makes tracks through the host's
// hooks, drives them along their whole road and prints what the module makes of them.
#include <dlfcn.h>

#include <cstdio>
#include <iomanip>
#include <iostream>
#include <string>

#include "model.h"

namespace {

using CreateComponent = bool (*)(std::string const&, void*, std::string const&,
                                 du::SmartPtr<du::RefCounted>&);

// The name type as the track saves it (-1 when it saves nothing).
long long SavedNameType(du::SmartPtr<animation::ItemTrackData> const& track) {
  animation::PropertyWriter writer;
  track->Save(writer);
  return writer.Entries().empty() ? -1 : writer.Entries().front().second;
}

void Row(std::string const& what, du::SmartPtr<animation::ItemTrackData> const& track,
         du::SmartPtr<animation::Target> const& target) {
  long long const before = SavedNameType(track);
  std::string const description = track->GetTargetDescription(target);
  std::cout << std::left << std::setw(26) << what << std::setw(6) << before << std::setw(6)
            << SavedNameType(track) << std::setw(24) << track->GetTrackName() << std::setw(9)
            << (track->UsesTargetName() ? "yes" : "no") << description << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  std::string const path = argc > 1 ? argv[1] : ILLANIMATION_MODULE_PATH;
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    std::cerr << "demo_host: cannot load module " << path << ": " << dlerror() << '\n';
    return 3;
  }
  auto init = reinterpret_cast<void (*)()>(dlsym(module, "QMDllInit"));
  auto create = reinterpret_cast<CreateComponent>(dlsym(module, "QMDllCreateComponent"));
  du::SmartPtr<du::RefCounted> initializer;
  if (!init || !create || (init(), !create("animation", nullptr, "illanimationinitializer", initializer))) {
    std::cerr << "demo_host: " << path << " does not answer the component request\n";
    return 3;
  }

  using animation::ItemTrackCreator;
  hostmodel::Model model;
  auto scene = model.AddShapeScene();
  auto bolt = model.AddInstance("i-bolt", "bolt.1", "Bolt M8");
  auto boltSbom = model.AddSbom("s-bolt", "BOLT-M8", "Bolt", "Hex bolt M8");
  hostmodel::Model::Link(bolt, boltSbom);
  boltSbom->SetProperty("Item", "sBOM Name", du::Symbol("BOLT-M8"));
  auto frame = model.AddInstance("i-frame", "frame", "Frame assembly");
  auto callout = model.AddCallout(
      "Callout 1", {hostmodel::TextPart("Item "), hostmodel::Part("Item", "sBOM Name", "Value")}, "s-bolt");

  du::SmartPtr<animation::Timeline> timeline(new animation::Timeline);
  du::SmartPtr<animation::ContainerTrackData> folder(new animation::ContainerTrackData);
  struct Case {
    std::string what;
    du::SmartPtr<animation::Target> target;
  } const cases[] = {
      {"part instance", model.MakeTarget(model.AddObjectItem(qmk::mcad_selection::Instance, bolt, "Bolt M8"), scene)},
      {"assembly", model.MakeTarget(model.AddObjectItem(qmk::mcad_selection::Assembly, frame, "Frame assembly"), scene)},
      {"face", model.MakeTarget(model.AddGeometryItem(qmk::mcad_selection::Face3D, bolt, "bolt.1::Face 3"), scene)},
      {"callout label", model.MakeTarget(model.AddAnnotationItem(callout, "Callout 1"), scene)},
      {"collection (own name)", model.MakeTarget(model.AddObjectItem(qmk::mcad_selection::Collection, nullptr, "Parts list"), scene)},
  };

  std::cout << std::left << std::setw(26) << "target" << std::setw(6) << "was" << std::setw(6)
            << "now" << std::setw(24) << "shown name" << std::setw(9) << "follows"
            << "description\n";
  for (auto const& c : cases) {
    auto track = ItemTrackCreator::CreateItemTrackDataImpl();
    track->SetSelectionItem(c.target->m_selectionItem);
    timeline->AddTrack(track);
    folder->AddChild(track);
    track->InitDisplayName(c.target);
    Row(c.what, track, c.target);

    // Saved and loaded into a fresh track, as when the illustration is reopened.
    animation::PropertyWriter writer;
    track->Save(writer);
    auto reloaded = ItemTrackCreator::CreateItemTrackDataImpl();
    timeline->AddTrack(reloaded);
    folder->AddChild(reloaded);
    reloaded->SetTrackName(track->GetTrackName(), {});
    animation::PropertyReader reader(writer.Entries());
    reloaded->Load(reader);
    Row("  reloaded", reloaded, c.target);

    // An old file without the name type: the track classifies its stored name.
    auto old = ItemTrackCreator::CreateItemTrackDataImpl();
    timeline->AddTrack(old);
    folder->AddChild(old);
    old->SetTrackName(track->GetTrackName(), {});
    animation::PropertyReader empty;
    old->Load(empty);
    Row("  loaded without type", old, c.target);
  }

  auto const& instanceTarget = cases[0].target;
  auto renamed = ItemTrackCreator::CreateItemTrackDataImpl();
  timeline->AddTrack(renamed);
  renamed->InitDisplayName(instanceTarget);
  renamed->SetTrackName("Renamed quietly", {});
  Row("rename, no operation", renamed, instanceTarget);
  renamed->SetTrackName("My bolt", du::SmartPtr<qmk::Operation>(new qmk::Operation));
  Row("rename by the user", renamed, instanceTarget);
  auto copy = ItemTrackCreator::CopyItemTrackDataImpl(renamed);
  timeline->AddTrack(copy);
  Row("copy of the user's track", copy, instanceTarget);

  auto locked = ItemTrackCreator::CreateItemTrackDataImpl();
  timeline->AddTrack(locked);
  locked->SetSelectionItem(instanceTarget->m_selectionItem);
  locked->InitDisplayName(instanceTarget);
  locked->SetLockedState(true);
  instanceTarget->m_selectionItem->SetDisplayName("Bolt M8 (renamed)");
  locked->UpdateDisplayName(scene);
  Row("locked, after refresh", locked, instanceTarget);

  animation::EffectsSplitMapper mapper;
  auto piece = locked->CutTrackInRange(10, 20, mapper, {}).DynamicCast<animation::ItemTrackData>();
  timeline->AddTrack(piece);
  Row("piece cut off it", piece, instanceTarget);

  timeline->Clear();
  folder->ClearChildren();
  return 0;
}
