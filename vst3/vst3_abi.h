// Our own declarations of the VST3 interfaces this plug-in uses, written
// from the format's published facts: interface IDs, method order, struct
// layouts, result codes and calling conventions. Each interface is a
// C-compatible table of function pointers, each taking the object first,
// so that GCC on Linux and MinGW for both Windows targets lay them out as
// hosts expect (COM's layout: the object's first word points at its table).
//
// Facts the layout rests on:
// - Methods are __stdcall on 32-bit Windows (no effect on x86_64); the
//   object pointer is the first argument.
// - A derived interface's table starts with its base's, in declaration order.
// - Strings in structs are UTF-16 (char16_t), zero-terminated when they fit.
// - Result codes are COM's HRESULTs on Windows and small integers elsewhere.
// - A 16-byte ID is written as four 32-bit words; Windows stores the first
//   word and the two halves of the second little-endian (a GUID), every
//   other byte, and every byte elsewhere, big-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define VST3_CALL __stdcall
#else
#define VST3_CALL
#endif

namespace vst3 {

using tresult = std::int32_t;
using TBool = std::uint8_t;
using ParamID = std::uint32_t;
using ParamValue = double;
using SpeakerArrangement = std::uint64_t;
using String128 = char16_t[128];
using TUID = char[16];

// ---- Result codes ----------------------------------------------------------

struct result_codes {
    tresult no_interface, ok, false_, invalid_argument, not_implemented, internal_error, not_initialized, out_of_memory;
};
inline constexpr result_codes windows_results{static_cast<tresult>(0x80004002u),
                                              0,
                                              1,
                                              static_cast<tresult>(0x80070057u),
                                              static_cast<tresult>(0x80004001u),
                                              static_cast<tresult>(0x80004005u),
                                              static_cast<tresult>(0x8000FFFFu),
                                              static_cast<tresult>(0x8007000Eu)};
inline constexpr result_codes other_results{-1, 0, 1, 2, 3, 4, 5, 6};
#if defined(_WIN32)
inline constexpr result_codes results = windows_results;
#else
inline constexpr result_codes results = other_results;
#endif
inline constexpr tresult kResultOk = results.ok;
inline constexpr tresult kResultTrue = results.ok;
inline constexpr tresult kResultFalse = results.false_;
inline constexpr tresult kNoInterface = results.no_interface;
inline constexpr tresult kInvalidArgument = results.invalid_argument;
inline constexpr tresult kNotImplemented = results.not_implemented;

// ---- Interface and class IDs ----------------------------------------------

struct uid_words {
    std::uint32_t l1, l2, l3, l4;
};

enum class id_byte_order { guid, big_endian };
#if defined(_WIN32)
inline constexpr id_byte_order native_id_order = id_byte_order::guid;
#else
inline constexpr id_byte_order native_id_order = id_byte_order::big_endian;
#endif

constexpr std::array<char, 16> id_bytes(uid_words w, id_byte_order order = native_id_order) {
    auto byte = [](std::uint32_t v, int shift) { return static_cast<char>((v >> shift) & 0xFF); };
    std::array<char, 16> b{};
    if (order == id_byte_order::guid) {
        b = {byte(w.l1, 0),  byte(w.l1, 8),  byte(w.l1, 16), byte(w.l1, 24), byte(w.l2, 16), byte(w.l2, 24),
             byte(w.l2, 0),  byte(w.l2, 8),  byte(w.l3, 24), byte(w.l3, 16), byte(w.l3, 8),  byte(w.l3, 0),
             byte(w.l4, 24), byte(w.l4, 16), byte(w.l4, 8),  byte(w.l4, 0)};
    } else {
        const std::uint32_t words[] = {w.l1, w.l2, w.l3, w.l4};
        for (int i = 0; i < 16; ++i) b[i] = byte(words[i / 4], 24 - 8 * (i % 4));
    }
    return b;
}

namespace iid {
inline constexpr uid_words FUnknown{0x00000000, 0x00000000, 0xC0000000, 0x00000046};
inline constexpr uid_words IPluginBase{0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625};
inline constexpr uid_words IPluginFactory{0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F};
inline constexpr uid_words IPluginFactory2{0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB};
inline constexpr uid_words IPluginFactory3{0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931};
inline constexpr uid_words IComponent{0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802};
inline constexpr uid_words IAudioProcessor{0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D};
inline constexpr uid_words IEditController{0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E};
inline constexpr uid_words IUnitInfo{0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1};
inline constexpr uid_words IPlugView{0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29};
inline constexpr uid_words IPlugFrame{0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3};
inline constexpr uid_words IPlugViewContentScaleSupport{0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F};
inline constexpr uid_words IRunLoop{0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389};
inline constexpr uid_words IEventHandler{0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983};
inline constexpr uid_words ITimerHandler{0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9};
}  // namespace iid

// ---- Constants -------------------------------------------------------------

inline constexpr const char* kVstAudioEffectClass = "Audio Module Class";
inline constexpr std::int32_t kManyInstances = 0x7FFFFFFF;
inline constexpr std::int32_t kFactoryUnicode = 1 << 4;

enum media_type : std::int32_t { kAudio = 0 };
enum bus_direction : std::int32_t { kInput = 0, kOutput = 1 };
enum bus_type : std::int32_t { kMain = 0 };
inline constexpr std::uint32_t kDefaultActive = 1 << 0;
inline constexpr SpeakerArrangement kStereo = 0x3;  // left | right

enum process_mode : std::int32_t { kRealtime = 0, kPrefetch = 1, kOffline = 2 };
enum sample_size : std::int32_t { kSample32 = 0 };

enum parameter_flags : std::int32_t {
    kCanAutomate = 1 << 0,
    kIsList = 1 << 3,
    kIsProgramChange = 1 << 15,
    kIsBypass = 1 << 16,
};
enum restart_flags : std::int32_t { kParamValuesChanged = 1 << 2 };
inline constexpr std::int32_t kRootUnitId = 0;
inline constexpr std::int32_t kNoParentUnitId = -1;

inline constexpr const char* kPlatformTypeHWND = "HWND";
inline constexpr const char* kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";

enum seek_mode : std::int32_t { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };

// ---- Structs ---------------------------------------------------------------

struct PFactoryInfo {
    char vendor[64];
    char url[256];
    char email[128];
    std::int32_t flags;
};

struct PClassInfo {
    TUID cid;
    std::int32_t cardinality;
    char category[32];
    char name[64];
};

struct PClassInfo2 {
    TUID cid;
    std::int32_t cardinality;
    char category[32];
    char name[64];
    std::uint32_t classFlags;
    char subCategories[128];
    char vendor[64];
    char version[64];
    char sdkVersion[64];
};

struct PClassInfoW {
    TUID cid;
    std::int32_t cardinality;
    char category[32];
    char16_t name[64];
    std::uint32_t classFlags;
    char subCategories[128];
    char16_t vendor[64];
    char16_t version[64];
    char16_t sdkVersion[64];
};

struct BusInfo {
    std::int32_t mediaType;
    std::int32_t direction;
    std::int32_t channelCount;
    String128 name;
    std::int32_t busType;
    std::uint32_t flags;
};

struct RoutingInfo {
    std::int32_t mediaType;
    std::int32_t busIndex;
    std::int32_t channel;
};

struct ProcessSetup {
    std::int32_t processMode;
    std::int32_t symbolicSampleSize;
    std::int32_t maxSamplesPerBlock;
    double sampleRate;
};

struct AudioBusBuffers {
    std::int32_t numChannels;
    std::uint64_t silenceFlags;
    union {
        float** channelBuffers32;
        double** channelBuffers64;
    };
};

struct IParameterChanges;
struct IEventList;

struct ProcessData {
    std::int32_t processMode;
    std::int32_t symbolicSampleSize;
    std::int32_t numSamples;
    std::int32_t numInputs;
    std::int32_t numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    void* processContext;
};

struct ParameterInfo {
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    std::int32_t stepCount;
    ParamValue defaultNormalizedValue;
    std::int32_t unitId;
    std::int32_t flags;
};

struct UnitInfo {
    std::int32_t id;
    std::int32_t parentUnitId;
    String128 name;
    std::int32_t programListId;
};

struct ProgramListInfo {
    std::int32_t id;
    String128 name;
    std::int32_t programCount;
};

struct ViewRect {
    std::int32_t left, top, right, bottom;
};

// ---- Interfaces ------------------------------------------------------------
// An interface pointer points at an object whose first word is its table.

#define VST3_INTERFACE(name)     \
    struct name##_vtbl;          \
    struct name {                \
        const name##_vtbl* vtbl; \
    }

VST3_INTERFACE(FUnknown);
VST3_INTERFACE(IPluginFactory);
VST3_INTERFACE(IBStream);
VST3_INTERFACE(IParamValueQueue);
VST3_INTERFACE(IComponentHandler);
VST3_INTERFACE(IPlugView);
VST3_INTERFACE(IPlugFrame);
VST3_INTERFACE(IRunLoop);
VST3_INTERFACE(IEventHandler);
VST3_INTERFACE(ITimerHandler);
VST3_INTERFACE(IParameterChanges);
#undef VST3_INTERFACE

struct FUnknown_vtbl {
    tresult(VST3_CALL* queryInterface)(void* self, const TUID iid, void** obj);
    std::uint32_t(VST3_CALL* addRef)(void* self);
    std::uint32_t(VST3_CALL* release)(void* self);
};

struct IPluginBase_vtbl {
    FUnknown_vtbl unknown;
    tresult(VST3_CALL* initialize)(void* self, FUnknown* context);
    tresult(VST3_CALL* terminate)(void* self);
};

struct IPluginFactory_vtbl {
    FUnknown_vtbl unknown;
    tresult(VST3_CALL* getFactoryInfo)(void* self, PFactoryInfo* info);
    std::int32_t(VST3_CALL* countClasses)(void* self);
    tresult(VST3_CALL* getClassInfo)(void* self, std::int32_t index, PClassInfo* info);
    tresult(VST3_CALL* createInstance)(void* self, const char* cid, const char* iid, void** obj);
    // IPluginFactory2
    tresult(VST3_CALL* getClassInfo2)(void* self, std::int32_t index, PClassInfo2* info);
    // IPluginFactory3
    tresult(VST3_CALL* getClassInfoUnicode)(void* self, std::int32_t index, PClassInfoW* info);
    tresult(VST3_CALL* setHostContext)(void* self, FUnknown* context);
};

struct IBStream_vtbl {
    FUnknown_vtbl unknown;
    tresult(VST3_CALL* read)(void* self, void* buffer, std::int32_t bytes, std::int32_t* bytes_read);
    tresult(VST3_CALL* write)(void* self, void* buffer, std::int32_t bytes, std::int32_t* bytes_written);
    tresult(VST3_CALL* seek)(void* self, std::int64_t pos, std::int32_t mode, std::int64_t* result);
    tresult(VST3_CALL* tell)(void* self, std::int64_t* pos);
};

struct IComponent_vtbl {
    IPluginBase_vtbl base;
    tresult(VST3_CALL* getControllerClassId)(void* self, TUID class_id);
    tresult(VST3_CALL* setIoMode)(void* self, std::int32_t mode);
    std::int32_t(VST3_CALL* getBusCount)(void* self, std::int32_t type, std::int32_t dir);
    tresult(VST3_CALL* getBusInfo)(void* self, std::int32_t type, std::int32_t dir, std::int32_t index, BusInfo* bus);
    tresult(VST3_CALL* getRoutingInfo)(void* self, RoutingInfo* in_info, RoutingInfo* out_info);
    tresult(VST3_CALL* activateBus)(void* self, std::int32_t type, std::int32_t dir, std::int32_t index, TBool state);
    tresult(VST3_CALL* setActive)(void* self, TBool state);
    tresult(VST3_CALL* setState)(void* self, IBStream* state);
    tresult(VST3_CALL* getState)(void* self, IBStream* state);
};

struct IAudioProcessor_vtbl {
    FUnknown_vtbl unknown;
    tresult(VST3_CALL* setBusArrangements)(void* self, SpeakerArrangement* inputs, std::int32_t num_ins,
                                           SpeakerArrangement* outputs, std::int32_t num_outs);
    tresult(VST3_CALL* getBusArrangement)(void* self, std::int32_t dir, std::int32_t index, SpeakerArrangement* arr);
    tresult(VST3_CALL* canProcessSampleSize)(void* self, std::int32_t symbolic_sample_size);
    std::uint32_t(VST3_CALL* getLatencySamples)(void* self);
    tresult(VST3_CALL* setupProcessing)(void* self, ProcessSetup* setup);
    tresult(VST3_CALL* setProcessing)(void* self, TBool state);
    tresult(VST3_CALL* process)(void* self, ProcessData* data);
    std::uint32_t(VST3_CALL* getTailSamples)(void* self);
};

struct IParamValueQueue_vtbl {
    FUnknown_vtbl unknown;
    ParamID(VST3_CALL* getParameterId)(void* self);
    std::int32_t(VST3_CALL* getPointCount)(void* self);
    tresult(VST3_CALL* getPoint)(void* self, std::int32_t index, std::int32_t* sample_offset, ParamValue* value);
    tresult(VST3_CALL* addPoint)(void* self, std::int32_t sample_offset, ParamValue value, std::int32_t* index);
};

struct IParameterChanges_vtbl {
    FUnknown_vtbl unknown;
    std::int32_t(VST3_CALL* getParameterCount)(void* self);
    IParamValueQueue*(VST3_CALL* getParameterData)(void* self, std::int32_t index);
    IParamValueQueue*(VST3_CALL* addParameterData)(void* self, const ParamID* id, std::int32_t* index);
};

struct IEditController_vtbl {
    IPluginBase_vtbl base;
    tresult(VST3_CALL* setComponentState)(void* self, IBStream* state);
    tresult(VST3_CALL* setState)(void* self, IBStream* state);
    tresult(VST3_CALL* getState)(void* self, IBStream* state);
    std::int32_t(VST3_CALL* getParameterCount)(void* self);
    tresult(VST3_CALL* getParameterInfo)(void* self, std::int32_t index, ParameterInfo* info);
    tresult(VST3_CALL* getParamStringByValue)(void* self, ParamID id, ParamValue value, char16_t* string);
    tresult(VST3_CALL* getParamValueByString)(void* self, ParamID id, char16_t* string, ParamValue* value);
    ParamValue(VST3_CALL* normalizedParamToPlain)(void* self, ParamID id, ParamValue value);
    ParamValue(VST3_CALL* plainParamToNormalized)(void* self, ParamID id, ParamValue plain);
    ParamValue(VST3_CALL* getParamNormalized)(void* self, ParamID id);
    tresult(VST3_CALL* setParamNormalized)(void* self, ParamID id, ParamValue value);
    tresult(VST3_CALL* setComponentHandler)(void* self, IComponentHandler* handler);
    IPlugView*(VST3_CALL* createView)(void* self, const char* name);
};

struct IComponentHandler_vtbl {
    FUnknown_vtbl unknown;
    tresult(VST3_CALL* beginEdit)(void* self, ParamID id);
    tresult(VST3_CALL* performEdit)(void* self, ParamID id, ParamValue value);
    tresult(VST3_CALL* endEdit)(void* self, ParamID id);
    tresult(VST3_CALL* restartComponent)(void* self, std::int32_t flags);
};

struct IUnitInfo_vtbl {
    FUnknown_vtbl unknown;
    std::int32_t(VST3_CALL* getUnitCount)(void* self);
    tresult(VST3_CALL* getUnitInfo)(void* self, std::int32_t index, UnitInfo* info);
    std::int32_t(VST3_CALL* getProgramListCount)(void* self);
    tresult(VST3_CALL* getProgramListInfo)(void* self, std::int32_t index, ProgramListInfo* info);
    tresult(VST3_CALL* getProgramName)(void* self, std::int32_t list, std::int32_t program, char16_t* name);
    tresult(VST3_CALL* getProgramInfo)(void* self, std::int32_t list, std::int32_t program, const char* attribute,
                                       char16_t* value);
    tresult(VST3_CALL* hasProgramPitchNames)(void* self, std::int32_t list, std::int32_t program);
    tresult(VST3_CALL* getProgramPitchName)(void* self, std::int32_t list, std::int32_t program, std::int16_t pitch,
                                            char16_t* name);
    std::int32_t(VST3_CALL* getSelectedUnit)(void* self);
    tresult(VST3_CALL* selectUnit)(void* self, std::int32_t unit);
    tresult(VST3_CALL* getUnitByBus)(void* self, std::int32_t type, std::int32_t dir, std::int32_t bus,
                                     std::int32_t channel, std::int32_t* unit);
    tresult(VST3_CALL* setUnitProgramData)(void* self, std::int32_t list_or_unit, std::int32_t program, IBStream* data);
};

struct IPlugView_vtbl {
    FUnknown_vtbl unknown;
    tresult(VST3_CALL* isPlatformTypeSupported)(void* self, const char* type);
    tresult(VST3_CALL* attached)(void* self, void* parent, const char* type);
    tresult(VST3_CALL* removed)(void* self);
    tresult(VST3_CALL* onWheel)(void* self, float distance);
    tresult(VST3_CALL* onKeyDown)(void* self, char16_t key, std::int16_t key_code, std::int16_t modifiers);
    tresult(VST3_CALL* onKeyUp)(void* self, char16_t key, std::int16_t key_code, std::int16_t modifiers);
    tresult(VST3_CALL* getSize)(void* self, ViewRect* size);
    tresult(VST3_CALL* onSize)(void* self, ViewRect* new_size);
    tresult(VST3_CALL* onFocus)(void* self, TBool state);
    tresult(VST3_CALL* setFrame)(void* self, IPlugFrame* frame);
    tresult(VST3_CALL* canResize)(void* self);
    tresult(VST3_CALL* checkSizeConstraint)(void* self, ViewRect* rect);
};

struct IPlugFrame_vtbl {
    FUnknown_vtbl unknown;
    tresult(VST3_CALL* resizeView)(void* self, IPlugView* view, ViewRect* new_size);
};

struct IPlugViewContentScaleSupport_vtbl {
    FUnknown_vtbl unknown;
    tresult(VST3_CALL* setContentScaleFactor)(void* self, float factor);
};

struct IRunLoop_vtbl {
    FUnknown_vtbl unknown;
    tresult(VST3_CALL* registerEventHandler)(void* self, IEventHandler* handler, int fd);
    tresult(VST3_CALL* unregisterEventHandler)(void* self, IEventHandler* handler);
    tresult(VST3_CALL* registerTimer)(void* self, ITimerHandler* handler, std::uint64_t milliseconds);
    tresult(VST3_CALL* unregisterTimer)(void* self, ITimerHandler* handler);
};

struct IEventHandler_vtbl {
    FUnknown_vtbl unknown;
    void(VST3_CALL* onFDIsSet)(void* self, int fd);
};

struct ITimerHandler_vtbl {
    FUnknown_vtbl unknown;
    void(VST3_CALL* onTimer)(void* self);
};

// ---- Layouts as hosts have them ---------------------------------------------

static_assert(sizeof(PFactoryInfo) == 452);
static_assert(sizeof(PClassInfo) == 116);
static_assert(sizeof(PClassInfo2) == 440);
static_assert(sizeof(PClassInfoW) == 696);
static_assert(sizeof(BusInfo) == 276);
static_assert(sizeof(ProcessSetup) == 24 && offsetof(ProcessSetup, sampleRate) == 16);
static_assert(offsetof(AudioBusBuffers, silenceFlags) == 8 && offsetof(AudioBusBuffers, channelBuffers32) == 16);
static_assert(offsetof(ProcessData, inputs) == (sizeof(void*) == 8 ? 24 : 20));
static_assert(sizeof(ProcessData) == (sizeof(void*) == 8 ? 80 : 48));
static_assert(offsetof(ParameterInfo, stepCount) == 772 && offsetof(ParameterInfo, defaultNormalizedValue) == 776);
static_assert(sizeof(ParameterInfo) == 792);
static_assert(sizeof(UnitInfo) == 268 && sizeof(ProgramListInfo) == 264);

}  // namespace vst3
