// The bank of 48 programs and the chunks a host saves: exact images of the
// records, refused whole when their size is wrong.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "plugin_sandbox.h"

namespace {

class Programs : public ::testing::Test {
protected:
    std::vector<unsigned char> chunk(bool preset) {
        void* data = nullptr;
        const auto size = plugin.dispatch(effGetChunk, preset ? 1 : 0, 0, &data);
        const auto* bytes = static_cast<const unsigned char*>(data);
        return {bytes, bytes + size};
    }
    VstIntPtr set_chunk(const void* data, VstIntPtr size, bool preset) {
        return plugin.dispatch(effSetChunk, preset ? 1 : 0, size, const_cast<void*>(data));
    }
    float get(int index) { return plugin.effect()->getParameter(plugin.effect(), index); }

    settings_sandbox settings{"512"};
    message_capture messages;
    plugin_instance plugin;
};

float float_at(const std::vector<unsigned char>& bytes, std::size_t offset) {
    float v;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

}  // namespace

TEST_F(Programs, EveryProgramStartsAsTheDefault) {
    char text[64];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(plugin.dispatch(effGetProgramNameIndexed, 0, 0, text), 1);
    EXPECT_STREQ(text, "Default");
    EXPECT_EQ(plugin.dispatch(effGetProgramNameIndexed, 47, 0, text), 1);
    EXPECT_STREQ(text, "Default");
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(plugin.dispatch(effGetProgramNameIndexed, 48, 0, text), 0);
    EXPECT_EQ(plugin.dispatch(effGetProgramNameIndexed, -1, 0, text), 0);
    EXPECT_EQ(text[0], 'x');

    const auto bank = chunk(false);
    ASSERT_EQ(bank.size(), 25536u);
    const unsigned char half[] = {0x00, 0x00, 0x00, 0x3F}, one[] = {0x00, 0x00, 0x80, 0x3F};
    const std::uint32_t frequency_bits[] = {0x3E4CCCCD, 0x3ECCCCCD, 0x3F19999A, 0x3F4CCCCD, 0x3F800000};
    for (int p = 0; p < 48; ++p) {
        const std::size_t base = 532u * p;
        EXPECT_EQ(std::memcmp(bank.data() + base + 24, half, 4), 0);
        EXPECT_EQ(std::memcmp(bank.data() + base + 28, one, 4), 0);
        for (int band = 0; band < 5; ++band) {
            std::uint32_t bits;
            std::memcpy(&bits, bank.data() + base + 32 + 20 * band + 8, 4);
            EXPECT_EQ(bits, frequency_bits[band]);
        }
        for (int i = 132; i < 532; ++i) ASSERT_EQ(bank[base + i], 0);
    }
}

TEST_F(Programs, ChunksAreTheRecordsThemselves) {
    void* bank = nullptr;
    EXPECT_EQ(plugin.dispatch(effGetChunk, 0, 0, &bank), 25536);
    plugin.dispatch(effSetProgram, 0, 5);
    void* program = nullptr;
    EXPECT_EQ(plugin.dispatch(effGetChunk, 1, 0, &program), 532);
    EXPECT_EQ(static_cast<char*>(program) - static_cast<char*>(bank), 5 * 532);

    // The address stays valid and follows later changes.
    plugin.effect()->setParameter(plugin.effect(), 0, 0.25f);
    float gain;
    std::memcpy(&gain, static_cast<char*>(program) + 24, 4);
    EXPECT_EQ(gain, 0.25f);
}

TEST_F(Programs, ChunkRoundTripIsByteIdentical) {
    plugin.effect()->setParameter(plugin.effect(), 9, 0.3f);
    char name[] = "Bright vocal";
    plugin.dispatch(effSetProgramName, 0, 0, name);
    const auto before = chunk(false);
    EXPECT_EQ(set_chunk(before.data(), static_cast<VstIntPtr>(before.size()), false), 1);
    EXPECT_EQ(chunk(false), before);
    // Handing our own memory back is also fine.
    void* own = nullptr;
    const auto size = plugin.dispatch(effGetChunk, 0, 0, &own);
    EXPECT_EQ(set_chunk(own, size, false), 1);
    EXPECT_EQ(chunk(false), before);
}

TEST_F(Programs, ChunksOfTheWrongSizeAreRefusedAndChangeNothing) {
    const auto before = chunk(false);
    std::vector<unsigned char> other(25536, 0xAB);
    for (VstIntPtr size : {0, 1, 531, 533, 25535, 25537}) {
        EXPECT_EQ(set_chunk(other.data(), size, false), 0) << size;
        EXPECT_EQ(set_chunk(other.data(), size, true), 0) << size;
    }
    EXPECT_EQ(set_chunk(other.data(), 532, false), 0);   // a program offered as a bank
    EXPECT_EQ(set_chunk(other.data(), 25536, true), 0);  // a bank offered as a program
    EXPECT_EQ(set_chunk(nullptr, 532, true), 0);
    EXPECT_EQ(set_chunk(nullptr, 25536, false), 0);
    EXPECT_EQ(chunk(false), before);
}

TEST_F(Programs, ProgramChunkReplacesOnlyTheCurrentProgram) {
    plugin.dispatch(effSetProgram, 0, 3);
    std::vector<unsigned char> record(532, 0);
    std::memcpy(record.data(), "Imported", 9);
    const float values[27] = {0.75f, 1.0f, 1.0f};
    std::memcpy(record.data() + 24, values, sizeof values);
    EXPECT_EQ(set_chunk(record.data(), 532, true), 1);
    EXPECT_EQ(plugin.text_of(effGetProgramName), "Imported");
    EXPECT_EQ(get(0), 0.75f);
    EXPECT_EQ(plugin.text_of(effGetParamDisplay, 2), "On");
    const auto bank = chunk(false);
    EXPECT_EQ(float_at(bank, 532 * 2 + 24), 0.5f);
    EXPECT_EQ(float_at(bank, 532 * 4 + 24), 0.5f);
    EXPECT_EQ(plugin.dispatch(effGetProgram), 3);
}

TEST_F(Programs, NamesAreKeptToTwentyThreeCharacters) {
    char long_name[] = "abcdefghijklmnopqrstuvwxyz1234";
    plugin.dispatch(effSetProgramName, 0, 0, long_name);
    EXPECT_EQ(plugin.text_of(effGetProgramName), "abcdefghijklmnopqrstuvw");
    EXPECT_EQ(get(0), 0.5f);

    // A restored name may fill all 24 bytes; readers stop at the field.
    std::vector<unsigned char> record = chunk(true);
    std::memset(record.data(), 'Z', 24);
    ASSERT_EQ(set_chunk(record.data(), 532, true), 1);
    char text[64];
    std::memset(text, 'x', sizeof text);
    plugin.dispatch(effGetProgramName, 0, 0, text);
    EXPECT_EQ(std::string(text), std::string(24, 'Z'));
    for (int i = 24; i <= 24; ++i) EXPECT_EQ(text[i], 0);
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(plugin.dispatch(effGetProgramNameIndexed, 0, 0, text), 1);
    EXPECT_EQ(std::string(text), std::string(24, 'Z'));
}

TEST_F(Programs, HostileValuesInAChunkKeepTheOutputFinite) {
    std::vector<unsigned char> record = chunk(true);
    const float hostile[] = {std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(),
                             1e30f,
                             -1e30f,
                             1e-42f};
    for (int i = 0; i < 27; ++i) std::memcpy(record.data() + 24 + 4 * i, &hostile[i % 6], 4);
    ASSERT_EQ(set_chunk(record.data(), 532, true), 1);
    std::vector<float> l(4096, 0.25f), r(4096, -0.25f), out_l(4096), out_r(4096);
    float* in[] = {l.data(), r.data()};
    float* out[] = {out_l.data(), out_r.data()};
    for (int block = 0; block < 20; ++block) {
        plugin.process(in, out, 4096);
        for (int i = 0; i < 4096; ++i) ASSERT_TRUE(std::isfinite(out_l[i]) && std::isfinite(out_r[i]));
    }
    EXPECT_TRUE(messages.messages().empty());
}
