// Loads each built VST 2.x DLL as a Windows host does and creates an instance
// through each exported name.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "plugin/vst2/aeffect.h"
#include "temporary_registry_hives.h"

namespace {

VstIntPtr VSTCALLBACK host_callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// One built VST 2.x DLL and what tells it apart.
struct plugin_dll {
    const char* name;
    const char* path;
    VstInt32 unique_id;
    VstInt32 parameters;
};

void PrintTo(const plugin_dll& dll, std::ostream* out) { *out << dll.path; }

constexpr plugin_dll stereo_dll{"Stereo", TESSVANE_PLUGIN_DLL, 0x31303136, 27};
constexpr plugin_dll mid_side_dll{"MidSide", TESSVANE_MID_SIDE_PLUGIN_DLL, 0x54764d53, 32};  // 'TvMS'

class DllEntryPointTest : public testing::TestWithParam<plugin_dll> {
protected:
    void SetUp() override {
        ASSERT_TRUE(hives.overrides_work());
        hives.put(platform::settings_hive::per_user, "SOFTWARE\\Ravelthorpe\\Tessvane LE", "Latency", "4096");
        // Messages go to a file: a real box would wait for a click.
        _putenv_s("TESSVANE_MESSAGE_LOG", message_log.c_str());
        module = LoadLibraryA(GetParam().path);
        ASSERT_NE(module, nullptr) << "LoadLibrary error " << GetLastError();
    }
    void TearDown() override {
        if (module != nullptr) FreeLibrary(module);
        _putenv_s("TESSVANE_MESSAGE_LOG", "");
        DeleteFileA(message_log.c_str());
    }

    VstPluginMainProc entry(const char* name) const {
        return reinterpret_cast<VstPluginMainProc>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    }

    std::string logged_messages() const {
        std::string text;
        if (FILE* f = std::fopen(message_log.c_str(), "rb")) {
            char chunk[256];
            for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) text.append(chunk, n);
            std::fclose(f);
        }
        return text;
    }

    temporary_registry_hives hives;
    const std::string message_log = "tessvane-dll-messages-" + std::to_string(GetCurrentProcessId()) + ".txt";
    HMODULE module = nullptr;
};

TEST_P(DllEntryPointTest, BothExportedNamesCreateAnEnabledInstanceWithTheStoredLatency) {
    ASSERT_NE(entry("VSTPluginMain"), nullptr);
    EXPECT_EQ(entry("main"), entry("VSTPluginMain"));
    for (const char* name : {"VSTPluginMain", "main"}) {
        SCOPED_TRACE(name);
        AEffect* effect = entry(name)(host_callback);
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(effect->magic, kEffectMagic);
        EXPECT_EQ(effect->uniqueID, GetParam().unique_id);
        EXPECT_EQ(effect->numParams, GetParam().parameters);
        EXPECT_EQ(effect->numPrograms, 48);
        EXPECT_EQ(effect->initialDelay, 4096);
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
    EXPECT_EQ(logged_messages(), "");
}

TEST_P(DllEntryPointTest, WithoutAStoredLatencyTheInstanceReportsTheLoadingErrorAndStillOpens) {
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Ravelthorpe");
    AEffect* effect = entry("VSTPluginMain")(host_callback);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->initialDelay, 0);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(logged_messages(),
              "Ravelthorpe: Tessvane\tRegistry settings loading error #0. Please contact technical support. "
              "Processing will be disabled and plugin locked.: Seen during constructor\n");
}

INSTANTIATE_TEST_SUITE_P(Dlls, DllEntryPointTest, testing::Values(stereo_dll, mid_side_dll),
                         [](const testing::TestParamInfo<plugin_dll>& info) { return info.param.name; });

}  // namespace
