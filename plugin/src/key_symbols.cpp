#include "key_symbols.h"

// One translation unit, so that the symbols are constructed in the order written here.
namespace illanimation {
namespace keys {

const du::Symbol ContentType("contenttype");
const du::Symbol ObjectSelectionItem("objectselectionitem");
const du::Symbol Instance("instance");
const du::Symbol Annotation("annotation");
const du::Symbol AnnoType("anno_type");
const du::Symbol AnnoIndex("anno_index");
const du::Symbol ObjectPickPoint("pick_point");
const du::Symbol SbomIdPath("sbomIdPath");
const du::Symbol IsoviewSelectionItem("isoviewselectionitem");
const du::Symbol IsoviewId("isoview_id");
const du::Symbol IsoviewName("isoview_name");
const du::Symbol IsoviewPickPoint("pick_point");
const du::Symbol GeometrySelectionItem("geometryselectionitem");
const du::Symbol ParentInstance("parent_instance");
const du::Symbol ParentAnnotation("parent_annotation");
const du::Symbol GeomId("geom_id");
const du::Symbol GeomAeid("geom_aeid");
const du::Symbol GeometryPickPoint("pick_point");
const du::Symbol PickAxis("pick_axis");
const du::Symbol GroupSelectionItem("groupselectionitem");
const du::Symbol GroupName("groupname");
const du::Symbol SbomInstance("SbomInstance");
const du::Symbol SbomSubType("sbomSubType");
const du::Symbol SchematicMatch("schematicMatch");
const du::Symbol SourceId("sourceId");
const du::Symbol SourceType("sourceType");
const du::Symbol Itemized("itemized");
const du::Symbol SbomInstanceId("sbomInstanceId");
const du::Symbol NoteContent("NoteContent");
const du::Symbol StepDescription("StepDescription");
const du::Symbol StepName("StepName");
const du::Symbol InsetCaptionContent("InsetCaptionContent");
const du::Symbol PageBorderSettings("page_border_settings");
const du::Symbol PageTemplateBorderSettings("page_template_border_settings");
const du::Symbol PageBorderStyle("page_border_style");
const du::Symbol PageBorderWeight("page_border_weight");
const du::Symbol PageBorderColor("page_border_color");
const du::Symbol PageBorderHalo("page_border_halo");
const du::Symbol PageBorderHaloWeight("page_border_halo_weight");
const du::Symbol PageBorderHaloOpacity("page_border_halo_opacity");
const du::Symbol PageBorderHaloColor("page_border_halo_color");
const du::Symbol PageBorderText("page_border_text");
const du::Symbol PageBorderFontSize("page_border_fontSize");
const du::Symbol PageBorderOffset("page_border_offset");
const du::Symbol PageBorderOrientation("page_border_orientation");
const du::Symbol PageBorderAlignment("page_border_alignment");
const du::Symbol PageBorderFigureIdentification("page_border_figureIdentification");
const du::Symbol PageBorderIsActive("page_border_is_active");
const du::Symbol PageOnlyBorderIsActive("page_only_border_is_active");
const du::Symbol PageCaptionIsActive("page_caption_is_active");
const du::Symbol PageCaptionColor("page_caption_color");
const du::Symbol PageCaptionHalo("page_caption_halo");
const du::Symbol PageCaptionHaloWeight("page_caption_halo_weight");
const du::Symbol PageCaptionHaloOpacity("page_caption_halo_opacity");
const du::Symbol PageCaptionHaloColor("page_caption_halo_color");
const du::Symbol PageBorderMargin("page_border_margin");
const du::Symbol PageBorderLengthUnit("page_border_lengthUnit");
const du::Symbol PageBorderPen("page_border_pen");
const du::Symbol NameType("name_type");
const du::Symbol Tag("qmTAG");
const du::Symbol DisplayName("Display Name");
const du::Symbol SbomName("sBOM Name");
const du::Symbol EbomName("eBOM Name");
const du::Symbol Value("Value");

const du::Symbol* const kAll[kCount] = {
    &ContentType,
    &ObjectSelectionItem,
    &Instance,
    &Annotation,
    &AnnoType,
    &AnnoIndex,
    &ObjectPickPoint,
    &SbomIdPath,
    &IsoviewSelectionItem,
    &IsoviewId,
    &IsoviewName,
    &IsoviewPickPoint,
    &GeometrySelectionItem,
    &ParentInstance,
    &ParentAnnotation,
    &GeomId,
    &GeomAeid,
    &GeometryPickPoint,
    &PickAxis,
    &GroupSelectionItem,
    &GroupName,
    &SbomInstance,
    &SbomSubType,
    &SchematicMatch,
    &SourceId,
    &SourceType,
    &Itemized,
    &SbomInstanceId,
    &NoteContent,
    &StepDescription,
    &StepName,
    &InsetCaptionContent,
    &PageBorderSettings,
    &PageTemplateBorderSettings,
    &PageBorderStyle,
    &PageBorderWeight,
    &PageBorderColor,
    &PageBorderHalo,
    &PageBorderHaloWeight,
    &PageBorderHaloOpacity,
    &PageBorderHaloColor,
    &PageBorderText,
    &PageBorderFontSize,
    &PageBorderOffset,
    &PageBorderOrientation,
    &PageBorderAlignment,
    &PageBorderFigureIdentification,
    &PageBorderIsActive,
    &PageOnlyBorderIsActive,
    &PageCaptionIsActive,
    &PageCaptionColor,
    &PageCaptionHalo,
    &PageCaptionHaloWeight,
    &PageCaptionHaloOpacity,
    &PageCaptionHaloColor,
    &PageBorderMargin,
    &PageBorderLengthUnit,
    &PageBorderPen,
    &NameType,
    &Tag,
    &DisplayName,
    &SbomName,
    &EbomName,
    &Value,
};

}  // namespace keys
}  // namespace illanimation
