// Recording and replaying the draw list, checked call by call against the logging GL.
#include <gtest/gtest.h>

#include "drawlist/drawlist.hpp"
#include "drawlist/opengl.hpp"
#include "gl_log.hpp"

namespace {

class DrawListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        clear_draw_list();
        glLog.clear();
    }
};

void recordOneOfEach() {
    record_clear(GL_COLOR_BUFFER_BIT);
    record_color(1.0f, 0.5f, -0.25f);
    record_push_matrix();
    record_rotate(-33.5f, 1.0f, 0.0f, 0.0f);
    record_translate(0.0f, 0.1f, -2.0e-7f);
    record_scale(1.0f, -1.0f, 1.0f);
    record_begin(GL_POLYGON);
    record_vertex(-0.1f, 0.1f);
    record_end();
    record_begin(GL_LINES);
    record_end();
    record_pop_matrix();
    record_finish();
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
    replay_draw_list();
    EXPECT_TRUE(glLog.empty());
}

TEST_F(DrawListTest, ReplayIssuesEveryRecordedCallInOrderWithItsArguments) {
    recordOneOfEach();
    replay_draw_list();
    EXPECT_EQ(glLog, oneOfEach);
    // Replay only reads: a second replay gives the same calls again.
    glLog.clear();
    replay_draw_list();
    EXPECT_EQ(glLog, oneOfEach);
}

TEST_F(DrawListTest, EnumAndMaskWordsAreStoredAsTheirBitPatterns) {
    record_begin(GL_POLYGON);
    record_begin(GL_LINES);
    record_clear(GL_COLOR_BUFFER_BIT);
    ASSERT_EQ(draw_list.commands.size(), 3u);
    const uint32_t expected[] = {9u, 1u, 0x4000u};
    for (size_t i = 0; i < 3; ++i) {
        const draw_command& c = draw_list.commands[i];
        ASSERT_EQ(c.wordCount, 1u);
        EXPECT_EQ(draw_list.words[c.firstWord], expected[i]);
    }
    replay_draw_list();
    EXPECT_EQ(glLog,
              (std::vector<GlCall>{{"glBegin", {9}}, {"glBegin", {1}}, {"glClear", {0x4000}}}));
}

TEST_F(DrawListTest, ClearEmptiesTheListAndKeepsItsStorage) {
    recordOneOfEach();
    const size_t commandCapacity = draw_list.commands.capacity();
    const size_t wordCapacity = draw_list.words.capacity();
    clear_draw_list();
    EXPECT_TRUE(draw_list.commands.empty());
    EXPECT_TRUE(draw_list.words.empty());
    EXPECT_EQ(draw_list.commands.capacity(), commandCapacity);
    EXPECT_EQ(draw_list.words.capacity(), wordCapacity);

    record_finish();
    replay_draw_list();
    EXPECT_EQ(glLog, (std::vector<GlCall>{{"glFinish", {}}}));
}

TEST_F(DrawListTest, MalformedCommandsAreSkippedAndTheRestReplays) {
    record_color(0.25f, 0.5f, 0.75f);
    const uint32_t words = static_cast<uint32_t>(draw_list.words.size());
    auto& commands = draw_list.commands;
    commands.push_back({11, 0, 0});               // unknown code
    commands.push_back({0xffffffffu, 0, 3});      // unknown code with words
    commands.push_back({0, 1, 3});                // words run past the pool
    commands.push_back({2, 0, 3});                // rotate needs four words
    commands.push_back({6, 0, 0});                // begin without its mode
    commands.push_back({0, 0xfffffffeu, 3});      // start far past the pool
    commands.push_back({7, words, 0xffffffffu});  // count that would wrap around
    commands.push_back({4, words, 0});            // pop: no words needed, none read
    commands.push_back({0, 0, 3});                // the colour again, sharing its words
    replay_draw_list();
    EXPECT_EQ(glLog, (std::vector<GlCall>{{"glColor3f", {0.25f, 0.5f, 0.75f}},
                                          {"glPopMatrix", {}},
                                          {"glColor3f", {0.25f, 0.5f, 0.75f}}}));
}

}  // namespace
