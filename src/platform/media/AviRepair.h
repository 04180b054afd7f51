#pragma once
// Finishing an AVI file whose writing stopped part-way (full disk, the disk gone,
// the program ended): the file is cut after its last whole frame, the sizes of its
// open chunks and its frame counts are set, and an index is added when there is
// room for it. Without the room the file is left unindexed and says so in its
// header; players then read the frames in order.
#include <cstdint>
#include <vector>

// `fd` open for reading and writing; `wholeEnd` the offset just past the last
// frame known to be written whole; `keyFrames` one flag per frame chunk in file
// order. True when the file is a valid AVI afterwards.
bool FinishCutAvi(int fd, std::int64_t wholeEnd, const std::vector<bool>& keyFrames);
