// Recording and replaying the draw list, checked call by call against the logging GL.
#include <gtest/gtest.h>

#include "drawlist/drawlist.hpp"
#include "replay/gl1/opengl.hpp"
#include "replay/gl1/replay.hpp"
#include "util/util.hpp"

using namespace lumenweave;

namespace {

class DrawListTest : public ::testing::Test {
  protected:
    drawlist::draw_list_t list;

    void SetUp() override { glLog.clear(); }
};

void recordOneOfEach(drawlist::draw_list_t& list) {
    record_clear(list, GL_COLOR_BUFFER_BIT);
    record_color(list, 1.0f, 0.5f, -0.25f);
    record_push_matrix(list);
    record_rotate(list, -33.5f, 1.0f, 0.0f, 0.0f);
    record_translate(list, 0.0f, 0.1f, -2.0e-7f);
    record_scale(list, 1.0f, -1.0f, 1.0f);
    record_begin(list, drawlist::draw_primitive_polygon);
    record_vertex(list, -0.1f, 0.1f);
    record_end(list);
    record_begin(list, drawlist::draw_primitive_lines);
    record_end(list);
    record_pop_matrix(list);
    record_finish(list);
}

const std::vector<GlCall> oneOfEach = {
    {"glClear", {GL_COLOR_BUFFER_BIT}},
    {"glColor3f", {1.0f, 0.5f, -0.25f}},
    {"glPushMatrix", {}},
    {"glRotatef", {-33.5f, 1.0f, 0.0f, 0.0f}},
    {"glTranslatef", {0.0f, 0.1f, -2.0e-7f}},
    {"glScalef", {1.0f, -1.0f, 1.0f}},
    {"glBegin", {GL_POLYGON}},
    {"glVertex2f", {-0.1f, 0.1f}},
    {"glEnd", {}},
    {"glBegin", {GL_LINES}},
    {"glEnd", {}},
    {"glPopMatrix", {}},
    {"glFinish", {}},
};

TEST_F(DrawListTest, EmptyListReplaysNothing) {
    replay::replay_draw_list(list);
    EXPECT_TRUE(glLog.empty());
}

TEST_F(DrawListTest, ReplayIssuesEveryRecordedCallInOrderWithItsArguments) {
    recordOneOfEach(list);
    replay::replay_draw_list(list);
    EXPECT_EQ(glLog, oneOfEach);
    // Replay only reads: a second replay gives the same calls again.
    glLog.clear();
    replay::replay_draw_list(list);
    EXPECT_EQ(glLog, oneOfEach);
}

TEST_F(DrawListTest, EnumAndMaskWordsAreStoredAsTheirBitPatterns) {
    record_begin(list, drawlist::draw_primitive_polygon);
    record_begin(list, drawlist::draw_primitive_lines);
    record_clear(list, GL_COLOR_BUFFER_BIT);
    ASSERT_EQ(list.commands.size(), 3u);
    const uint32_t expected[] = {9u, 1u, 0x4000u};
    for (size_t i = 0; i < 3; ++i) {
        const drawlist::draw_command& c = list.commands[i];
        ASSERT_EQ(c.word_count, 1u);
        EXPECT_EQ(list.words[c.first_word], expected[i]);
    }
    replay::replay_draw_list(list);
    EXPECT_EQ(glLog,
              (std::vector<GlCall>{{"glBegin", {9}}, {"glBegin", {1}}, {"glClear", {0x4000}}}));
}

TEST_F(DrawListTest, ClearEmptiesTheListAndKeepsItsStorage) {
    recordOneOfEach(list);
    const size_t commandCapacity = list.commands.capacity();
    const size_t wordCapacity = list.words.capacity();
    clear_draw_list(list);
    EXPECT_TRUE(list.commands.empty());
    EXPECT_TRUE(list.words.empty());
    EXPECT_EQ(list.commands.capacity(), commandCapacity);
    EXPECT_EQ(list.words.capacity(), wordCapacity);

    record_finish(list);
    replay::replay_draw_list(list);
    EXPECT_EQ(glLog, (std::vector<GlCall>{{"glFinish", {}}}));
}

TEST_F(DrawListTest, MalformedCommandsAreSkippedAndTheRestReplays) {
    record_color(list, 0.25f, 0.5f, 0.75f);
    const uint32_t words = static_cast<uint32_t>(list.words.size());
    auto& commands = list.commands;
    commands.push_back({drawlist::draw_code_count, 0, 0});       // unknown code
    commands.push_back({0xffffffffu, 0, 3});                     // unknown code with words
    commands.push_back({drawlist::draw_color, 1, 3});            // words run past the pool
    commands.push_back({drawlist::draw_rotate, 0, 3});           // rotate needs four words
    commands.push_back({drawlist::draw_begin, 0, 0});            // begin without its mode
    commands.push_back({drawlist::draw_color, 0xfffffffeu, 3});  // start far past the pool
    commands.push_back(
        {drawlist::draw_vertex, words, 0xffffffffu});           // count that would wrap around
    commands.push_back({drawlist::draw_pop_matrix, words, 0});  // pop: no words needed, none read
    commands.push_back({drawlist::draw_color, 0, 3});  // the colour again, sharing its words
    replay::replay_draw_list(list);
    EXPECT_EQ(glLog, (std::vector<GlCall>{{"glColor3f", {0.25f, 0.5f, 0.75f}},
                                          {"glPopMatrix", {}},
                                          {"glColor3f", {0.25f, 0.5f, 0.75f}}}));
}

}  // namespace
