// The world step: the sub-step movement rule and the order and rules of its passes.
#include "core/game_state.h"
#include "world/entity.h"
#include "world/world_step.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<int32_t> moving_substeps(float v) {
    std::vector<int32_t> on;
    for (int32_t i = 0; i < 32; ++i)
        if (moves_on_substep(i, v)) on.push_back(i);
    return on;
}

// What the passes called, as "s<object>@<sub-step>" and "t<object>".
std::vector<std::string> calls_seen;
ObjectList* list_in_use = nullptr;
Entity things[8];
int index_of(const ObjectEntry& e) { return static_cast<int>(e.entity() - things); }

void record_step(const ObjectEntry& e, int32_t i) {
    // Built step by step: GCC 12 warns falsely about a literal + to_string chain.
    std::string call = "s";
    call += std::to_string(index_of(e)) + "@" + std::to_string(i);
    calls_seen.push_back(call);
}
void record_tick(const ObjectEntry& e) {
    std::string call = "t";
    call += std::to_string(index_of(e));
    calls_seen.push_back(call);
    // Object 1 releases object 7 (as a block releases a coin) the first time it ticks.
    if (index_of(e) == 1 && calls_seen.size() < 100) list_in_use->append(&things[7], KIND_ITEM);
}
const WorldCalls recorder{record_step, record_tick};

class WorldStep : public ::testing::Test {
protected:
    void SetUp() override {
        game_state = GameState{};
        world_frozen = false;
        calls_seen.clear();
        list_in_use = &list;
    }
    void TearDown() override { world_frozen = false; }
    ObjectList list;
};

}  // namespace

TEST(MovesOnSubstep, SpreadsAboutAbsVMovesOverTheFrame) {
    game_state = GameState{};
    using V = std::vector<int32_t>;
    EXPECT_EQ(moving_substeps(0.0f), V{});
    EXPECT_EQ(moving_substeps(0.5f), V{0});
    EXPECT_EQ(moving_substeps(1.0f), V{0});
    EXPECT_EQ(moving_substeps(1.02f), V{0});  // just above a whole number falls one short
    EXPECT_EQ(moving_substeps(1.5f), (V{0, 22}));
    EXPECT_EQ(moving_substeps(3.0f), (V{0, 11, 22}));
    EXPECT_EQ(moving_substeps(4.0f), (V{0, 8, 16, 24}));
    EXPECT_EQ(moving_substeps(5.5f), (V{0, 6, 12, 18, 24, 30}));
    EXPECT_EQ(moving_substeps(6.0f), (V{0, 6, 11, 16, 22, 27}));
    EXPECT_EQ(moving_substeps(10.5f), (V{0, 4, 7, 10, 13, 16, 19, 22, 25, 28, 31}));
    EXPECT_EQ(moving_substeps(-10.5f), moving_substeps(10.5f));
    V every_second;
    for (int32_t i = 0; i < 32; i += 2) every_second.push_back(i);
    EXPECT_EQ(moving_substeps(16.0f), every_second);
}

TEST_F(WorldStep, StepsMovingKindsEachSubStepThenTicksInListOrder) {
    game_state.sub_steps = 2;
    list.append(&things[0], KIND_PLAYER);
    list.append(&things[2], KIND_ENEMY);
    list.append(&things[3], KIND_PIPE);
    list.append(&things[4], KIND_REMOVED);
    list.append(&things[5], int16_t{0});
    list.append(&things[6], KIND_ITEM);
    run_world_step(list, recorder);
    EXPECT_EQ(calls_seen, (std::vector<std::string>{"s0@0", "s2@0", "s6@0", "s0@1", "s2@1", "s6@1",
                                                    "t0", "t2", "t6"}));
}

TEST_F(WorldStep, FrozenWorldTicksWithoutSteps) {
    list.append(&things[0], KIND_PLAYER);
    list.append(&things[2], KIND_ENEMY);
    world_frozen = true;
    run_world_step(list, recorder);
    EXPECT_EQ(calls_seen, (std::vector<std::string>{"t0", "t2"}));
}

TEST_F(WorldStep, EntryAppendedDuringAPassIsVisitedInThatPass) {
    things[1].x = 100;
    list.append(&things[0], KIND_PLAYER);
    list.append(&things[1], KIND_BLOCK);
    run_world_frame(list, recorder);
    EXPECT_EQ(calls_seen, (std::vector<std::string>{"t0", "t1", "t7"}));
    EXPECT_EQ(list.count, 3);
}

TEST_F(WorldStep, BlocksTickOnlyNearTheScreen) {
    game_state.camera_x = 1000;
    const int32_t xs[] = {969, 970, 1799, 1800};  // d = -31, -30, 799, 800
    for (int k = 0; k < 4; ++k) {
        things[2 + k].x = xs[k];
        list.append(&things[2 + k], KIND_BLOCK);
    }
    run_world_step(list, recorder);
    EXPECT_EQ(calls_seen, (std::vector<std::string>{"t3", "t4"}));
}

TEST_F(WorldStep, EmptyListDoesNothing) {
    run_world_step(list, recorder);
    EXPECT_TRUE(calls_seen.empty());
}
