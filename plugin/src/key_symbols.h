// The module's key symbols: names of stored properties, of fields of stored selection items
// and of parts of callout label content. All are built at load, in the order of their
// families below, and never change until unload.
#pragma once

#include <cstddef>

#include "host/utilities.h"

namespace illanimation {
namespace keys {

// Selection-item representation keys.
extern const du::Symbol ContentType;
extern const du::Symbol ObjectSelectionItem;
extern const du::Symbol Instance;
extern const du::Symbol Annotation;
extern const du::Symbol AnnoType;
extern const du::Symbol AnnoIndex;
extern const du::Symbol ObjectPickPoint;
extern const du::Symbol SbomIdPath;
extern const du::Symbol IsoviewSelectionItem;
extern const du::Symbol IsoviewId;
extern const du::Symbol IsoviewName;
extern const du::Symbol IsoviewPickPoint;
extern const du::Symbol GeometrySelectionItem;
extern const du::Symbol ParentInstance;
extern const du::Symbol ParentAnnotation;
extern const du::Symbol GeomId;
extern const du::Symbol GeomAeid;
extern const du::Symbol GeometryPickPoint;
extern const du::Symbol PickAxis;
extern const du::Symbol GroupSelectionItem;
extern const du::Symbol GroupName;

// SBOM keys.
extern const du::Symbol SbomInstance;
extern const du::Symbol SbomSubType;
extern const du::Symbol SchematicMatch;
extern const du::Symbol SourceId;
extern const du::Symbol SourceType;
extern const du::Symbol Itemized;
extern const du::Symbol SbomInstanceId;

// Content keys.
extern const du::Symbol NoteContent;
extern const du::Symbol StepDescription;
extern const du::Symbol StepName;
extern const du::Symbol InsetCaptionContent;

// Page border and caption settings keys.
extern const du::Symbol PageBorderSettings;
extern const du::Symbol PageTemplateBorderSettings;
extern const du::Symbol PageBorderStyle;
extern const du::Symbol PageBorderWeight;
extern const du::Symbol PageBorderColor;
extern const du::Symbol PageBorderHalo;
extern const du::Symbol PageBorderHaloWeight;
extern const du::Symbol PageBorderHaloOpacity;
extern const du::Symbol PageBorderHaloColor;
extern const du::Symbol PageBorderText;
extern const du::Symbol PageBorderFontSize;
extern const du::Symbol PageBorderOffset;
extern const du::Symbol PageBorderOrientation;
extern const du::Symbol PageBorderAlignment;
extern const du::Symbol PageBorderFigureIdentification;
extern const du::Symbol PageBorderIsActive;
extern const du::Symbol PageOnlyBorderIsActive;
extern const du::Symbol PageCaptionIsActive;
extern const du::Symbol PageCaptionColor;
extern const du::Symbol PageCaptionHalo;
extern const du::Symbol PageCaptionHaloWeight;
extern const du::Symbol PageCaptionHaloOpacity;
extern const du::Symbol PageCaptionHaloColor;
extern const du::Symbol PageBorderMargin;
extern const du::Symbol PageBorderLengthUnit;
extern const du::Symbol PageBorderPen;

// The module's own keys.
extern const du::Symbol NameType;
extern const du::Symbol Tag;
extern const du::Symbol DisplayName;
extern const du::Symbol SbomName;
extern const du::Symbol EbomName;
extern const du::Symbol Value;

constexpr std::size_t kCount = 64;
// Every key symbol, in the order of construction.
extern const du::Symbol* const kAll[kCount];

}  // namespace keys
}  // namespace illanimation
