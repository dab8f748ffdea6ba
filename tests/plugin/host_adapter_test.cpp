// The host's view of an instance: the record, identity, every dispatcher
// answer and the exact bytes written into the host's buffers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "plugin_sandbox.h"

namespace {

class HostAdapter : public ::testing::Test {
protected:
    settings_sandbox settings{"4096"};
    message_capture messages;
    plugin_instance plugin;
};

}  // namespace

TEST_F(HostAdapter, RecordCarriesTheIdentityAndTheLatency) {
    AEffect* e = plugin.effect();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->magic, kEffectMagic);
    EXPECT_EQ(e->numPrograms, 48);
    EXPECT_EQ(e->numParams, 27);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags, effFlagsHasEditor | effFlagsCanReplacing | effFlagsProgramChunks);
    EXPECT_EQ(e->initialDelay, 4096);
    EXPECT_EQ(e->uniqueID, 0x31303136);
    EXPECT_EQ(e->version, 1);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_EQ(e->resvd1, 0);
    EXPECT_EQ(e->user, nullptr);
    for (char c : e->future) EXPECT_EQ(c, 0);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(HostAdapter, FixedAnswersOfTheDispatcher) {
    EXPECT_EQ(plugin.dispatch(effIdentify), 0x4E764566);
    EXPECT_EQ(plugin.dispatch(effGetTailSize), 2646000);
    EXPECT_EQ(plugin.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(plugin.dispatch(effGetVendorVersion), 1004);
    EXPECT_EQ(plugin.dispatch(effGetPlugCategory), 1);
    EXPECT_EQ(plugin.dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(plugin.dispatch(effCanBeAutomated, 5), 1);
    EXPECT_EQ(plugin.dispatch(effCanBeAutomated, 500), 1);
    EXPECT_EQ(plugin.dispatch(effSetTotalSampleToProcess, 0, 1234), 1234);
    EXPECT_EQ(plugin.dispatch(effSetBypass, 0, 1), 0);
    EXPECT_EQ(plugin.dispatch(effSetProcessPrecision, 0, 1), 0);
    for (const char* can_do : {"bypass", "receiveVstTimeInfo", "sendVstEvents", ""}) {
        char text[32];
        std::strcpy(text, can_do);
        EXPECT_EQ(plugin.dispatch(effCanDo, 0, 0, text), 0) << can_do;
    }
}

TEST_F(HostAdapter, IdentityStringsAreZeroFilledUpToTheirBound) {
    char buffer[80];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(plugin.dispatch(effGetEffectName, 0, 0, buffer), 1);
    EXPECT_STREQ(buffer, "Tessvane LE");
    for (int i = 11; i <= 32; ++i) EXPECT_EQ(buffer[i], 0) << i;
    EXPECT_EQ(buffer[33], 'x');

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(plugin.dispatch(effGetVendorString, 0, 0, buffer), 1);
    EXPECT_STREQ(buffer, "Ravelthorpe");
    for (int i = 11; i <= 64; ++i) EXPECT_EQ(buffer[i], 0) << i;
    EXPECT_EQ(buffer[65], 'x');

    EXPECT_EQ(plugin.text_of(effGetProductString), "Tessvane LE");
}

TEST_F(HostAdapter, EveryOtherOpcodeAnswersZeroAndChangesNothing) {
    const int answered_zero[] = {9,  16, 17, 18, 20, 21, 25, 27, 28, 30, 31, 32, 33,  34, 36,   37, 38,
                                 39, 40, 41, 42, 43, 44, 46, 50, 53, 54, 55, 56, 57,  62, 64,   65, 66,
                                 67, 68, 70, 71, 72, 74, 75, 76, 77, 78, 79, 80, 200, -1, -1000};
    char buffer[512] = {};
    for (int opcode : answered_zero) EXPECT_EQ(plugin.dispatch(opcode, 1, 1, buffer, 1.0f), 0) << opcode;
    for (char c : buffer) ASSERT_EQ(c, 0);
    EXPECT_EQ(plugin.dispatch(effGetProgram), 0);
    EXPECT_EQ(plugin.effect()->initialDelay, 4096);
}

TEST_F(HostAdapter, NullBuffersAreAnsweredZeroWithoutWriting) {
    for (int opcode : {effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName, effSetProgramName,
                       effEditGetRect, effGetChunk, effSetChunk, effGetProgramNameIndexed, effGetEffectName,
                       effGetVendorString, effGetProductString})
        EXPECT_EQ(plugin.dispatch(opcode, 0, 532, nullptr), 0) << opcode;
    EXPECT_EQ(plugin.dispatch(effGetSpeakerArrangement, 0, 0, nullptr), 0);
}

// The float-to-int conversion of the modifier is checked by UBSan in the
// asan build, where a huge opt used to be undefined behaviour.
TEST_F(HostAdapter, KeyOpcodesTakeAnyFloatAsTheModifier) {
    for (float opt : {std::nanf(""), HUGE_VALF, -HUGE_VALF, 1e20f, -3.2e19f, 2147483648.0f, 3.0f}) {
        EXPECT_EQ(plugin.dispatch(effEditKeyDown, 'a', 0, nullptr, opt), 0) << opt;
        EXPECT_EQ(plugin.dispatch(effEditKeyUp, 'a', 0, nullptr, opt), 0) << opt;
    }
}

TEST_F(HostAdapter, SpeakerArrangementQueryStoresNullThroughBothPointers) {
    void* in = &in;
    void* out = &out;
    EXPECT_EQ(plugin.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 0);
    EXPECT_EQ(in, nullptr);
    EXPECT_EQ(out, nullptr);
}

TEST_F(HostAdapter, ProgramSelectionIgnoresIndicesOutsideTheBank) {
    plugin.dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(plugin.dispatch(effGetProgram), 5);
    plugin.dispatch(effSetProgram, 0, 48);
    plugin.dispatch(effSetProgram, 0, -1);
    EXPECT_EQ(plugin.dispatch(effGetProgram), 5);
}

TEST_F(HostAdapter, EditorSizeIsKnownBeforeTheEditorOpens) {
    ERect* rect = nullptr;
    EXPECT_EQ(plugin.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 383);
    EXPECT_EQ(rect->right, 607);
    EXPECT_EQ(plugin.dispatch(effSetEditKnobMode, 0, 2), 1);
}

TEST(EntryPoint, HostThatAnswersZeroToTheVersionQueryGetsNothing) {
    settings_sandbox settings("4096");
    the_host.version_answer = 0;
    EXPECT_EQ(VSTPluginMain(test_host_callback), nullptr);
    the_host.version_answer = 2400;
    EXPECT_EQ(VSTPluginMain(nullptr), nullptr);
}

TEST(EntryPoint, CloseThroughTheRecordAnswersOneAndDestroys) {
    settings_sandbox settings("512");
    AEffect* e = VSTPluginMain(test_host_callback);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
}
