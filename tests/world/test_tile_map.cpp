// The tile map's questions and the map file reader, on maps built in the test.
#include "tests/support/test_support.h"
#include "world/map_file.h"
#include "world/tile_map.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// A width x height map whose cell (c, r) holds code r * width + c.
TileMap numbered_map(int32_t width, int32_t height) {
    TileMap map = make_map(width, height);
    for (int32_t i = 0; i < width * height; ++i) map.map_cells[i] = i;
    return map;
}

std::string map_bytes(int32_t width, int32_t height, int32_t cells_written) {
    std::string bytes;
    auto put = [&](int32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(static_cast<uint32_t>(v) >> (8 * i)));
    };
    put(width);
    put(height);
    for (int32_t i = 0; i < cells_written; ++i) put(i);
    return bytes;
}

}  // namespace

TEST(TileMap, CellAtAnswersEmptyOutsideThePlayingRowsAndTheArray) {
    TileMap map = numbered_map(100, 22);
    EXPECT_EQ(map.cell_at(0, 0), 0);
    EXPECT_EQ(map.cell_at(5, 19), 1905);
    EXPECT_EQ(map.cell_at(5, -1), TILE_EMPTY);
    EXPECT_EQ(map.cell_at(5, 20), TILE_EMPTY);  // the map has a row 20, but it is not played
    // Columns outside the map read on into the neighbouring row...
    EXPECT_EQ(map.cell_at(100, 3), 400);
    EXPECT_EQ(map.cell_at(-1, 3), 299);
    // ...but never outside the whole array.
    EXPECT_EQ(map.cell_at(-1, 0), TILE_EMPTY);
    TileMap small = numbered_map(30, 20);
    EXPECT_EQ(small.cell_at(30, 19), TILE_EMPTY);
    EXPECT_EQ(small.cell_at(2147483647, 19), TILE_EMPTY);
    EXPECT_EQ(TileMap{}.cell_at(0, 0), TILE_EMPTY);
}

TEST(TileMap, TileBoxIsTheInsetSquareOfTheCellBelowThePixelRow) {
    TileMap map = make_map(100, 20);
    map.map_cells[4 * 100 + 2] = TILE_GROUND;
    EXPECT_EQ(map.tile_box(2, 3), (Rect{65, 97, 95, 127}));
    EXPECT_EQ(map.tile_box(3, 3), Rect{});
    EXPECT_EQ(map.tile_box(2, 19), Rect{});  // map row 20 is outside the field
}

TEST(TileMap, WritesStayInsideTheArray) {
    TileMap map = numbered_map(30, 20);
    map.clear_cell(4, 2);
    map.block_cell(5, 2);
    EXPECT_EQ(map.cell_at(4, 2), TILE_EMPTY);
    EXPECT_EQ(map.cell_at(5, 2), TILE_HIDDEN);
    map.clear_cell(30, 19);   // one past the end: nothing happens
    map.block_cell(-1, 0);
    EXPECT_EQ(map.cell_at(29, 19), 599);
    EXPECT_EQ(map.cell_at(0, 0), 0);
}

TEST(MapFile, ReadsSizesAndCellsRowByRow) {
    std::string path = write_temp_file("example.map", map_bytes(100, 20, 2000) + "trailing bytes");
    TileMap map;
    std::string error;
    ASSERT_TRUE(read_map(path.c_str(), map, error)) << error;
    EXPECT_EQ(map.map_width, 100);
    EXPECT_EQ(map.map_height, 20);
    EXPECT_EQ(map.cell_at(7, 13), 1307);
    EXPECT_STREQ(map.path, path.c_str());

    install_map(map);
    EXPECT_EQ(current_map.map_cells, map.map_cells);  // the cells are shared, not copied
    EXPECT_EQ(current_map.map_width, 100);
    EXPECT_STREQ(current_map.path, path.c_str());
    current_map = TileMap{};
}

TEST(MapFile, RefusesBrokenFilesWithAMessageAndLeavesTheMapAlone) {
    struct Case {
        std::string name, bytes, says;
    };
    const std::vector<Case> cases = {
        {"truncated.map", map_bytes(100, 20, 1999), "holds 1999 cells but its sizes say 2000"},
        {"header.map", map_bytes(100, 20, 0).substr(0, 6), "too short"},
        {"empty.map", "", "too short"},
        {"zero.map", map_bytes(0, 20, 0), "hold no cells"},
        {"negative.map", map_bytes(100, -20, 0), "hold no cells"},
        {"tall.map", map_bytes(10, 1001, 0), "rows"},
        {"wide.map", map_bytes(100001, 1, 0), "columns"},
        {"huge.map", map_bytes(100000, 1000, 0), "cells"},
        // Sizes within the limits in 8 bytes: refused by the file's length, before 40 MB are taken.
        {"claims.map", map_bytes(100000, 100, 0), "holds 0 cells but its sizes say 10000000"},
    };
    TileMap map = numbered_map(30, 20);
    long before = peak_memory_kb();
    for (const auto& c : cases) {
        std::string path = write_temp_file(c.name, c.bytes);
        std::string error;
        EXPECT_FALSE(read_map(path.c_str(), map, error)) << c.name;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_EQ(map.map_width, 30);
    }
    EXPECT_LT(peak_memory_kb() - before, 16 * 1024) << "a refused map still took memory";
    std::string error;
    EXPECT_FALSE(read_map("Maps\\no_such_level.map", map, error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
    std::string long_path(64, 'x');
    EXPECT_FALSE(read_map(long_path.c_str(), map, error));
    EXPECT_NE(error.find("63"), std::string::npos);
}

TEST(MapFile, ReadingAgainFromTheMapsOwnPathAndReinstallingKeepTheMap) {
    std::string path = write_temp_file("again.map", map_bytes(100, 20, 2000));
    std::string error;
    ASSERT_TRUE(read_map(path.c_str(), current_map, error)) << error;
    current_map.clear_cell(7, 13);  // a brick broken in play
    // Restarting the level reads the file again through the path the map itself holds.
    ASSERT_TRUE(read_map(current_map.path, current_map, error)) << error;
    EXPECT_STREQ(current_map.path, path.c_str());
    EXPECT_EQ(current_map.cell_at(7, 13), 1307);

    install_map(current_map);
    EXPECT_STREQ(current_map.path, path.c_str());
    EXPECT_EQ(current_map.map_width, 100);
    EXPECT_EQ(current_map.map_height, 20);
    EXPECT_EQ(current_map.cell_at(7, 13), 1307);
    current_map = TileMap{};
}

TEST(MapFile, TallerMapsAreValid) {
    std::string path = write_temp_file("tall_ok.map", map_bytes(40, 24, 40 * 24));
    TileMap map;
    std::string error;
    ASSERT_TRUE(read_map(path.c_str(), map, error)) << error;
    EXPECT_EQ(map.map_height, 24);
    EXPECT_EQ(map.cell_at(0, 21), TILE_EMPTY);
}
