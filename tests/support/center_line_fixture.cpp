#include "center_line_fixture.h"

namespace testsupport {

du::SmartPtr<qmannotations::CenterLinesAnnotation> AddPendingCenterLine(
    hostmodel::Model& model, du::Symbol const& type,
    std::map<std::string, std::string> const& fields) {
  auto line = model.AddCenterLine();
  du::SmartPtr<qmk::SelectionItemRepresentation> pending(
      new qmk::SelectionItemRepresentation(type));
  for (auto const& [key, value] : fields) pending->SetField(key, value);
  line->SetMainPendingObject(pending);
  return line;
}

}  // namespace testsupport
