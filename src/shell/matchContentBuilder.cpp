#include "shell/matchContentBuilder.h"

#include <algorithm>
#include <climits>
#include <map>

#include "data/animationSet.h"
#include "data/moveSet.h"
#include "data/soundSet.h"
#include "data/textFile.h"
#include "fighter/Fighter.h"
#include "particles/partInfoList.h"

namespace {
// Fills the tables as the sets are read: frames, sound names, launch lines.
class builder {
public:
    matchContent content;
    std::map<std::string, int32_t> defIndex;   // particle definition by name
    std::map<std::string, int32_t> launchKeys; // launch line by text

    int32_t soundIndex(const std::string& name) {
        if (name == "NULL" || name.empty()) return -1;
        std::vector<std::string>& names = content.sounds;
        auto found = std::find(names.begin(), names.end(), name);
        if (found != names.end()) return static_cast<int32_t>(found - names.begin());
        names.push_back(name);
        return static_cast<int32_t>(names.size() - 1);
    }

    // "name x y": the definition and the offset; an unknown name launches nothing.
    launchSpec launchOf(const std::string& line) {
        launchSpec spec;
        std::vector<std::string> words = splitWords(line, 3);
        if (words.empty()) return spec;
        auto found = defIndex.find(words[0]);
        spec.def = found == defIndex.end() ? -1 : found->second;
        int value = 0;
        if (words.size() > 1 && scanInt(words[1], value)) spec.x = value;
        if (words.size() > 2 && scanInt(words[2], value)) spec.y = value;
        return spec;
    }

    static matchBox boxOf(const frameBox& across, const frameBox& down) {
        return matchBox{across.left, down.top, across.right, down.bottom};
    }

    frameRecord recordOf(const CSpriteBase& set, int index) {
        frameRecord record;
        record.drawable = set.drawable(index);
        if (index < 0 || index >= static_cast<int>(set.frames.size())) return record;
        const frameInfo& stored = set.frames[static_cast<size_t>(index)];
        long long show = static_cast<long long>(stored.pause) * static_cast<long long>(kFighterSpeed);
        record.showMs = static_cast<int32_t>(std::max(0LL, std::min<long long>(INT_MAX, show)));
        if (!record.drawable) return record;
        const frameInfo& mirrored = set.mirror[static_cast<size_t>(index)];
        record.body[1] = boxOf(stored.colBox, stored.colBox);
        record.body[0] = boxOf(mirrored.colBox, stored.colBox);
        if (stored.hitActive >= 1) {
            record.hit[1] = boxOf(stored.hitBox, stored.hitBox);
            record.hit[0] = boxOf(mirrored.hitBox, stored.hitBox);
        }
        record.anchorX[1] = stored.offsetX;
        record.anchorX[0] = mirrored.offsetX;
        record.anchorY = stored.offsetY;
        record.restY = std::max(stored.colBox.bottom, stored.hitBox.bottom);
        record.moveX = stored.moveX;
        record.moveY = stored.moveY;
        record.sound = soundIndex(stored.sound);
        int lines = std::min(stored.numParticles, static_cast<int>(stored.particles.size()));
        for (int i = 0; i < lines; ++i) record.launches.push_back(launchOf(stored.particles[static_cast<size_t>(i)]));
        if (lines > 0) {
            auto key = launchKeys.emplace(stored.particles[0], static_cast<int32_t>(launchKeys.size()));
            record.launchKey = key.first->second;
        }
        return record;
    }

    frameRun runOf(const CSpriteBase& set) {
        frameRun run;
        run.first = static_cast<int32_t>(content.frames.size());
        run.count = std::max(0, std::min(set.numFrames, static_cast<int>(set.frames.size())));
        for (int i = 0; i < run.count; ++i) content.frames.push_back(recordOf(set, i));
        return run;
    }

    // Event entries: the first `count` of them; none when the first is "NULL".
    std::vector<launchSpec> entriesOf(const std::vector<std::string>& lines, int count) {
        std::vector<launchSpec> entries;
        int held = std::max(0, std::min(count, static_cast<int>(lines.size())));
        if (held == 0 || lines[0] == "NULL") return entries;
        for (int i = 0; i < held; ++i) entries.push_back(launchOf(lines[static_cast<size_t>(i)]));
        return entries;
    }

    void addParticles(const partInfoList& defs) {
        // Names first, so that the entries can name any definition; the newest of a name wins.
        for (const partInfoNode* node = defs.head; node; node = node->next) {
            defIndex.emplace(node->name, static_cast<int32_t>(content.particles.size()));
            matchParticleDef def;
            def.name = node->name;
            content.particles.push_back(def);
        }
        size_t at = 0;
        for (const partInfoNode* node = defs.head; node; node = node->next, ++at) {
            const particleInfo& info = node->info;
            matchParticleDef& def = content.particles[at];
            if (info.base) def.frames = runOf(*info.base);
            def.drawable = info.drawable();
            def.lifeMs = info.lifeTime;
            def.gravity = info.gravity;
            def.onDeath = entriesOf(info.onDeath, static_cast<int>(info.onDeath.size()));
            def.onHitPlayer = entriesOf(info.onHitPlayer, info.onHitPlayerCount);
            def.onHitEnemy = entriesOf(info.onHitEnemy, info.onHitEnemyCount);
            def.onHitTarget = entriesOf(info.onHitTarget, info.onHitTargetCount);
            def.hit = info.hit;
        }
    }

    static moveCondition conditionOf(const std::string& text) {
        if (text == "null") return moveCondition::none;
        std::vector<std::string> words = splitWords(text, 3);
        if (words.empty() || words[0] != "ground") return moveCondition::never;
        return words.size() > 2 && words[2] == "true" ? moveCondition::grounded : moveCondition::airborne;
    }

    void addCharacter(matchCharacter& character, const characterSource& source) {
        character.name = source.name;
        character.health = source.health;
        if (source.anims) {
            for (const animInfo& anim : source.anims->anims) {
                character.animNames.push_back(anim.name);
                character.anims.push_back(runOf(anim.frameSet));
            }
        }
        for (int pose = 0; pose < poseCount; ++pose) {
            auto found = std::find(character.animNames.begin(), character.animNames.end(), kPoseNames[pose]);
            if (found != character.animNames.end())
                character.poses[pose] = static_cast<int32_t>(found - character.animNames.begin());
            // A missing pose shows the first animation, as the sets answer; the others have stand-ins.
            else if (pose < poseHurt && !character.anims.empty())
                character.poses[pose] = 0;
        }
        if (!source.moves) return;
        for (const moveInfo& info : source.moves->moves) {
            matchMove move;
            move.name = info.name;
            move.command = info.command;
            move.condition = conditionOf(info.condition);
            move.frames = runOf(info.animation);
            move.hit = info.hit;
            character.moves.push_back(move);
        }
    }
};
}  // namespace

matchContent buildMatchContent(const characterSource (&sides)[kSides], const partInfoList& defs,
                               const soundSet* sounds, const char* startLine) {
    builder b;
    if (sounds)
        for (const soundNode* node = sounds->head; node; node = node->next) b.soundIndex(node->name);
    b.addParticles(defs);
    for (int side = 0; side < kSides; ++side) b.addCharacter(b.content.characters[side], sides[side]);
    auto spark = b.defIndex.find("hitspark");
    if (spark != b.defIndex.end()) b.content.sparkDef = spark->second;
    const struct {
        const char* name;
        int32_t matchContent::*cue;
    } cues[] = {{"hit", &matchContent::hitSound},     {"block", &matchContent::blockSound},
                {"round", &matchContent::roundSound}, {"fight", &matchContent::fightSound},
                {"ko", &matchContent::koSound},       {"timeover", &matchContent::timeOverSound}};
    for (const auto& cue : cues)
        if (sounds && sounds->holds(cue.name)) b.content.*cue.cue = b.soundIndex(cue.name);
    if (startLine && *startLine) b.content.startLaunch = b.launchOf(startLine);
    return b.content;
}

matchPictures picturesOf(const characterSource (&sides)[kSides], const partInfoList& defs) {
    matchPictures pictures;
    for (int side = 0; side < kSides; ++side) {
        if (sides[side].anims)
            for (const animInfo& anim : sides[side].anims->anims) pictures.anims[side].push_back(&anim.frameSet);
        if (sides[side].moves)
            for (const moveInfo& move : sides[side].moves->moves) pictures.moves[side].push_back(&move.animation);
    }
    for (const partInfoNode* node = defs.head; node; node = node->next) pictures.particles.push_back(node->info.base);
    return pictures;
}
