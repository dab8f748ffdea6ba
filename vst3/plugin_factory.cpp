// The module's entry points: the factory that names the two classes, the
// stereo equaliser and the M/S one, and makes their objects; and the load
// and unload calls, which have nothing to do.
#include <cstdio>
#include <cstring>
#include <iterator>
#include <new>

#include "core/product.h"
#include "vst3/class_id.h"
#include "vst3/eq_component.h"
#include "vst3/utf16.h"

namespace vst3 {

namespace {

constexpr const char* subcategories = "Fx|EQ";
constexpr const char* sdk_version = "VST 3.7.0";

void copy_text(char* out, std::size_t capacity, const char* text) { std::snprintf(out, capacity, "%s", text); }

struct plugin_class {
    const uid_words& id;
    const core::edition& plugin;
};
constexpr plugin_class classes[] = {{class_id, core::stereo_edition}, {mid_side_class_id, core::mid_side_edition}};
constexpr std::int32_t class_count = static_cast<std::int32_t>(std::size(classes));

// The factory lives as long as the module: its count never ends it.
tresult VST3_CALL query_interface(void* self, const TUID iid, void** obj);
std::uint32_t VST3_CALL add_ref(void*) { return 1; }
std::uint32_t VST3_CALL release(void*) { return 1; }

tresult VST3_CALL get_factory_info(void*, PFactoryInfo* info) {
    if (!info) return kInvalidArgument;
    *info = {};
    copy_text(info->vendor, sizeof info->vendor, core::vendor_name);
    info->flags = kFactoryUnicode;
    return kResultOk;
}

std::int32_t VST3_CALL count_classes(void*) { return class_count; }

tresult VST3_CALL get_class_info(void*, std::int32_t index, PClassInfo* info) {
    if (!info || index < 0 || index >= class_count) return kInvalidArgument;
    *info = {};
    std::memcpy(info->cid, id_bytes(classes[index].id).data(), sizeof info->cid);
    info->cardinality = kManyInstances;
    copy_text(info->category, sizeof info->category, kVstAudioEffectClass);
    copy_text(info->name, sizeof info->name, classes[index].plugin.name);
    return kResultOk;
}

tresult VST3_CALL get_class_info2(void* self, std::int32_t index, PClassInfo2* info) {
    if (!info || index < 0 || index >= class_count) return kInvalidArgument;
    PClassInfo first;
    get_class_info(self, index, &first);
    *info = {};
    std::memcpy(info->cid, first.cid, sizeof info->cid);
    info->cardinality = first.cardinality;
    std::memcpy(info->category, first.category, sizeof info->category);
    std::memcpy(info->name, first.name, sizeof info->name);
    copy_text(info->subCategories, sizeof info->subCategories, subcategories);
    copy_text(info->vendor, sizeof info->vendor, core::vendor_name);
    copy_text(info->version, sizeof info->version, core::version_text);
    copy_text(info->sdkVersion, sizeof info->sdkVersion, sdk_version);
    return kResultOk;
}

tresult VST3_CALL get_class_info_unicode(void* self, std::int32_t index, PClassInfoW* info) {
    if (!info || index < 0 || index >= class_count) return kInvalidArgument;
    PClassInfo2 narrow;
    get_class_info2(self, index, &narrow);
    *info = {};
    std::memcpy(info->cid, narrow.cid, sizeof info->cid);
    info->cardinality = narrow.cardinality;
    std::memcpy(info->category, narrow.category, sizeof info->category);
    copy_utf16(info->name, narrow.name);
    std::memcpy(info->subCategories, narrow.subCategories, sizeof info->subCategories);
    copy_utf16(info->vendor, narrow.vendor);
    copy_utf16(info->version, narrow.version);
    copy_utf16(info->sdkVersion, narrow.sdkVersion);
    return kResultOk;
}

tresult VST3_CALL create_instance(void*, const char* cid, const char* iid, void** obj) {
    if (!obj) return kInvalidArgument;
    *obj = nullptr;
    if (!cid || !iid) return kNoInterface;
    const plugin_class* chosen = nullptr;
    for (const plugin_class& c : classes)
        if (std::memcmp(cid, id_bytes(c.id).data(), 16) == 0) chosen = &c;
    if (!chosen) return kNoInterface;
    try {
        return eq_component::create(chosen->plugin, iid, obj);
    } catch (const std::exception&) {
        // The instance shows what it could not survive before it throws.
        return kResultFalse;
    }
}

tresult VST3_CALL set_host_context(void*, FUnknown*) { return kResultOk; }

constexpr IPluginFactory_vtbl factory_table{{query_interface, add_ref, release},
                                            get_factory_info,
                                            count_classes,
                                            get_class_info,
                                            create_instance,
                                            get_class_info2,
                                            get_class_info_unicode,
                                            set_host_context};
IPluginFactory_vtbl const* const factory_object = &factory_table;

tresult VST3_CALL query_interface(void* self, const TUID iid, void** obj) {
    if (!obj) return kInvalidArgument;
    const bool ours = is_id(iid, iid::FUnknown) || is_id(iid, iid::IPluginFactory) ||
                      is_id(iid, iid::IPluginFactory2) || is_id(iid, iid::IPluginFactory3);
    *obj = ours ? self : nullptr;
    return ours ? kResultOk : kNoInterface;
}

}  // namespace

}  // namespace vst3

#if defined(_WIN32)
#define VST3_EXPORT extern "C" __declspec(dllexport)
#else
#define VST3_EXPORT extern "C" __attribute__((visibility("default")))
#endif

VST3_EXPORT vst3::IPluginFactory* VST3_CALL GetPluginFactory() {
    return reinterpret_cast<vst3::IPluginFactory*>(const_cast<vst3::IPluginFactory_vtbl**>(&vst3::factory_object));
}

#if defined(_WIN32)
VST3_EXPORT bool InitDll() { return true; }
VST3_EXPORT bool ExitDll() { return true; }
#else
VST3_EXPORT bool ModuleEntry(void*) { return true; }
VST3_EXPORT bool ModuleExit() { return true; }
#endif
