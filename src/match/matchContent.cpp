// The match room: what the rules read of the content.
#include "match/matchContent.h"

#include <algorithm>

matchBox placedAt(const matchBox& box, int x, int y) {
    return matchBox{box.left + x, box.top + y, box.right + x, box.bottom + y};
}

bool overlaps(const matchBox& a, const matchBox& b) {
    return !a.empty() && !b.empty() && a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

matchBox overlapBox(const matchBox& a, const matchBox& b) {
    return matchBox{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
}

const frameRecord* matchContent::frameOf(const frameRun& run, int index) const {
    if (index < 0 || index >= run.count) return nullptr;
    size_t at = static_cast<size_t>(run.first) + static_cast<size_t>(index);
    return at < frames.size() ? &frames[at] : nullptr;
}

std::string sideName(const matchContent& content, int side) {
    return "P" + std::to_string(side + 1) + " " + content.characters[side].name;
}

const char* const kPoseNames[poseCount] = {"standing", "walk", "duck", "inAir", "hurt", "guard", "duckGuard", "ko"};

int shownPose(const matchCharacter& character, int pose) {
    static const int standIns[poseCount] = {-1, -1, -1, -1, poseStanding, poseStanding, poseDuck, poseHurt};
    // Each stand-in comes earlier in the list, so this ends.
    while (pose >= 0 && pose < poseCount && character.poses[pose] < 0 && standIns[pose] >= 0) pose = standIns[pose];
    return pose;
}

frameRun shownRun(const matchContent& content, int side, const fighterState& fighter) {
    const matchCharacter& character = content.characters[side];
    if (fighter.move >= 0 && fighter.move < static_cast<int>(character.moves.size()))
        return character.moves[static_cast<size_t>(fighter.move)].frames;
    if (fighter.pose < 0 || fighter.pose >= poseCount) return frameRun();
    int anim = character.poses[fighter.pose];
    if (anim < 0 || anim >= static_cast<int>(character.anims.size())) return frameRun();
    return character.anims[static_cast<size_t>(anim)];
}
