// The effect-host interface: what a host hands an effect plug-in on every
// command, and what the plug-in hands back. Both sides of this project (the
// plug-ins and zolhost) are built against this one header.
//
// Layout rules: plain C records, fixed-width integers, no virtual anything,
// so that a plug-in built separately from the host still agrees with it.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

typedef int32_t PF_Err;
enum : PF_Err {
    PF_Err_NONE = 0,
    PF_Err_OUT_OF_MEMORY = -108,  // the host could not give a handle
    PF_Err_INVALID_INDEX = -1002,
    PF_Err_BAD_CALLBACK_PARAM = -1003,
    PF_Err_INTERNAL = -1004,
};

typedef int32_t PF_Cmd;
enum : PF_Cmd {
    PF_Cmd_ABOUT = 0,
    PF_Cmd_GLOBAL_SETUP = 1,
    PF_Cmd_GLOBAL_SETDOWN = 3,
    PF_Cmd_PARAMS_SETUP = 4,
    PF_Cmd_SEQUENCE_SETUP = 5,
    PF_Cmd_SEQUENCE_RESETUP = 6,
    PF_Cmd_SEQUENCE_FLATTEN = 7,
    PF_Cmd_SEQUENCE_SETDOWN = 8,
    PF_Cmd_DO_DIALOG = 9,
    PF_Cmd_RENDER = 11,
    PF_Cmd_USER_CHANGED_PARAM = 13,
    PF_Cmd_UPDATE_PARAMS_UI = 14,
    PF_Cmd_EVENT = 15,
};

// 16.16 fixed point, as angles and points travel.
typedef int32_t PF_Fixed;
inline constexpr PF_Fixed PF_FIXED_ONE = 0x10000;

typedef int32_t PF_Quality;
enum : PF_Quality { PF_Quality_LO = 0, PF_Quality_HI = 1 };

// Host memory. A plug-in never sees the bytes except through lock.
typedef struct PF_HandleRec* PF_Handle;

// Identifies the instance a callback is about; only the host interprets it.
typedef struct PF_EffectRefRec* PF_ProgPtr;

// ---------------------------------------------------------------- pixels, worlds

// Byte order alpha, red, green, blue: the engine writes these four bytes.
struct PF_Pixel {
    uint8_t alpha, red, green, blue;
};
static_assert(sizeof(PF_Pixel) == 4);

struct PF_EffectWorld {
    int32_t width = 0;
    int32_t height = 0;
    int32_t rowbytes = 0;  // bytes from one row to the next, at least width * 4
    PF_Pixel* data = nullptr;
};
typedef PF_EffectWorld PF_LayerDef;

// ---------------------------------------------------------------- parameters

typedef int32_t PF_ParamType;
enum : PF_ParamType {
    PF_Param_LAYER = 0,
    PF_Param_SLIDER = 1,
    PF_Param_FIX_SLIDER = 2,
    PF_Param_ANGLE = 3,
    PF_Param_CHECKBOX = 4,
    PF_Param_COLOR = 5,
    PF_Param_POINT = 6,
    PF_Param_POPUP = 7,
    PF_Param_CUSTOM = 8,
    PF_Param_NO_DATA = 9,
    PF_Param_FLOAT_SLIDER = 10,
    PF_Param_GROUP_START = 13,
    PF_Param_GROUP_END = 14,
};

// Parameter flags (the definition's `flags`).
enum : int32_t {
    PF_ParamFlag_NONE = 0,
    PF_ParamFlag_COLLAPSE_TWIRLY = 0x20,  // a group shown folded
};

// UI flags (the definition's `ui_flags`).
enum : int32_t {
    PF_PUI_NONE = 0,
    PF_PUI_CONTROL = 0x02,   // the plug-in draws a control area of its own
    PF_PUI_DISABLED = 0x20,  // greyed out
};

// Float-slider display flags.
enum : int16_t {
    PF_ValueDisplayFlag_NONE = 0,
    PF_ValueDisplayFlag_PERCENT = 1,
};

// Change flags the plug-in sets on a definition whose value it rewrote.
enum : int32_t {
    PF_ChangeFlag_NONE = 0,
    PF_ChangeFlag_CHANGED_VALUE = 1,
};

struct PF_SliderDef {
    int32_t value, valid_min, valid_max, slider_min, slider_max, dflt;
};

struct PF_FloatSliderDef {
    double value;
    float valid_min, valid_max, slider_min, slider_max;
    double dflt;
    int16_t precision;      // decimals shown
    int16_t display_flags;  // PF_ValueDisplayFlag_*
    int32_t fs_flags;
    float curve_tolerance;
};

struct PF_AngleDef {
    PF_Fixed value, dflt;  // degrees
};

struct PF_CheckBoxDef {
    int32_t value, dflt;
    const char* label;  // text beside the box; owned by the plug-in
};

struct PF_ColorDef {
    PF_Pixel value, dflt;
};

struct PF_PointDef {
    PF_Fixed x_value, y_value;  // layer pixels
    PF_Fixed x_dflt, y_dflt;    // percent of the layer's width and height
    int32_t restrict_bounds;
};

struct PF_PopupDef {
    int32_t value;  // 1-based
    int16_t num_choices;
    int16_t dflt;
    const char* choices;  // "First|Second|..."; owned by the plug-in
};

union PF_ParamDefUnion {
    PF_LayerDef ld;
    PF_SliderDef sd;
    PF_FloatSliderDef fs_d;
    PF_AngleDef ad;
    PF_CheckBoxDef bd;
    PF_ColorDef cd;
    PF_PointDef td;
    PF_PopupDef pd;
};

inline constexpr int PF_MAX_PARAM_NAME_LEN = 32;

struct PF_ParamDef {
    PF_ParamType param_type;
    char name[PF_MAX_PARAM_NAME_LEN];
    int32_t flags;     // PF_ParamFlag_*
    int32_t ui_flags;  // PF_PUI_*
    int16_t ui_width, ui_height;
    int32_t change_flags;  // PF_ChangeFlag_*
    PF_ParamDefUnion u;
};
typedef PF_ParamDef* PF_ParamDefPtr;
typedef PF_ParamDefPtr* PF_ParamList;  // params[i] is index i; params[0] the input layer

// ---------------------------------------------------------------- custom UI

enum : int32_t {
    PF_EI_DONT_DRAW = 1,  // in-flags bit: the host asks for no drawing
};
enum : int32_t {
    PF_EO_HANDLED_EVENT = 1,
};

typedef int32_t PF_EventType;
enum : PF_EventType {
    PF_Event_NONE = 0,
    PF_Event_NEW_CONTEXT = 1,
    PF_Event_DO_CLICK = 2,
    PF_Event_DRAG = 3,
    PF_Event_DRAW = 4,
};

typedef int32_t PF_WindowType;
enum : PF_WindowType {
    PF_Window_NONE = 0,
    PF_Window_COMP = 1,
    PF_Window_EFFECT = 2,  // the effect-controls window
    PF_Window_LAYER = 3,
};

enum : int32_t {
    PF_EventFlag_COMP = 1,
    PF_EventFlag_LAYER = 2,
    PF_EventFlag_EFFECT = 4,
};

struct PF_CustomUIInfo {
    int32_t events;  // PF_EventFlag_*
    int32_t comp_ui_width, comp_ui_height, comp_ui_alignment;
    int32_t layer_ui_width, layer_ui_height, layer_ui_alignment;
    int32_t preview_ui_width, preview_ui_height, preview_ui_alignment;
};

// A graphics port is where a control area is drawn; the host turns it into
// a device context through get_drawing_data.
typedef struct PF_PortRec* PF_PortH;

struct PF_Context {
    PF_WindowType w_type;
    PF_PortH port;
};
typedef PF_Context* PF_ContextH;

struct PF_Point16 {
    int16_t v, h;  // vertical, horizontal
};
struct PF_Rect16 {
    int16_t left, top, right, bottom;
};

struct PF_DrawEventInfo {
    PF_Rect16 update_rect;
};
struct PF_ClickEventInfo {
    uint32_t when;
    PF_Point16 screen_point;
    int32_t num_clicks;
};

struct PF_EventExtra {
    PF_ContextH contextH;
    PF_EventType e_type;
    union {
        PF_DrawEventInfo draw;
        PF_ClickEventInfo click;
    } u;
    int32_t param_index;  // the parameter whose control area the event concerns
    int32_t evt_in_flags;   // PF_EI_*
    int32_t evt_out_flags;  // PF_EO_*
};

struct PF_UserChangedParamExtra {
    int32_t param_index;
};

// ---------------------------------------------------------------- callbacks

typedef int32_t PF_PlatDataID;
enum : PF_PlatDataID {
    PF_PlatData_MAIN_WND = 0,  // out: the host's main window (an HWND)
};
enum : int32_t {
    PF_DrawingData_DC = 0,  // out: a device context (an HDC) for the port
};

struct PF_InteractCallbacks {
    PF_Err (*add_param)(PF_ProgPtr effect_ref, int32_t index, PF_ParamDef* def);
    PF_Err (*register_ui)(PF_ProgPtr effect_ref, PF_CustomUIInfo* info);
    PF_Err (*checkout_param)(PF_ProgPtr effect_ref, int32_t index, int32_t what_time,
                             int32_t time_step, uint32_t time_scale, PF_ParamDef* out);
    PF_Err (*checkin_param)(PF_ProgPtr effect_ref, PF_ParamDef* def);
    PF_Err (*progress)(PF_ProgPtr effect_ref, int32_t current, int32_t total);
};

struct PF_ANSICallbacks {
    char* (*strcpy)(char* dst, const char* src);  // dst holds PF_MAX_PARAM_NAME_LEN bytes
};

struct PF_UtilCallbacks {
    PF_Handle (*host_new_handle)(uint64_t size);  // 0 on failure
    void* (*host_lock_handle)(PF_Handle h);
    void (*host_unlock_handle)(PF_Handle h);
    void (*host_dispose_handle)(PF_Handle h);
    // How many bytes the handle really holds; 0 for a null or unknown handle.
    uint64_t (*host_get_handle_size)(PF_Handle h);
    PF_Err (*get_platform_data)(PF_ProgPtr effect_ref, PF_PlatDataID which, void* out);
    PF_Err (*get_drawing_data)(PF_ProgPtr effect_ref, PF_PortH port, int32_t which, void* out);
    PF_ANSICallbacks ansi;
};

// The basic suite service hands out named, versioned tables of functions.
struct PF_BasicSuiteService {
    PF_Err (*AcquireSuite)(const char* name, int32_t version, const void** suite);
    PF_Err (*ReleaseSuite)(const char* name, int32_t version);
};

inline constexpr const char* kPFParamUtilsSuite = "PF Param Utils Suite";
inline constexpr int32_t kPFParamUtilsSuiteVersion1 = 1;

struct PF_ParamUtilsSuite1 {
    // Re-shows the control of parameter `index` with the flags of `def`.
    PF_Err (*PF_UpdateParamUI)(PF_ProgPtr effect_ref, int32_t index, const PF_ParamDef* def);
};

// ---------------------------------------------------------------- in_data / out_data

struct PF_RationalScale {
    int32_t num;
    uint32_t den;
};

struct PF_InData {
    PF_InteractCallbacks inter;
    PF_UtilCallbacks* utils;
    PF_ProgPtr effect_ref;
    PF_Quality quality;
    int32_t current_time;
    int32_t local_time_step;
    int32_t total_time;
    uint32_t time_scale;
    int32_t width;   // full-resolution layer width
    int32_t height;  // full-resolution layer height
    PF_RationalScale downsample_x, downsample_y;
    PF_Handle sequence_data;
    PF_BasicSuiteService* pica_basicP;
};

enum : int32_t {
    // or-ed into out_flags after a text edit: refresh the controls, render again
    PF_OutFlag_REFRESH_UI = 0x00400000,
    PF_OutFlag_FORCE_RERENDER = 0x00020000,
};

struct PF_OutData {
    uint32_t my_version;
    int32_t out_flags;
    int32_t num_params;
    PF_Handle sequence_data;
    int32_t flat_sdata_size;
    char return_msg[256];
};

// The one export of every effect plug-in.
typedef PF_Err (*PF_EntryFunc)(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                               PF_ParamList params, PF_LayerDef* output, void* extra);

}  // extern "C"
