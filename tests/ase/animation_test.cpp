// Animation blocks: controller blocks of every kind, TCB numbers, the track
// set and the "unsupported" message.
#include "ase/animation.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ase/document.h"
#include "ase_text.h"

using ase_testing::AseText;
using Lines = std::vector<std::string>;

namespace {

const refhost::TracksData& tracksOf(const AseText& input, std::size_t node) {
    for (const refhost::TracksData* tracks : input.scene.animation()->tracks) {
        if (tracks->node == &input.node(node)) return *tracks;
    }
    throw std::logic_error("no tracks");
}

}  // namespace

TEST(Animation, EveryControllerKind) {
    struct Kind {
        const char* controller;
        const char* key;
        refhost::KeyType type;
        int numbers;  // after the time, all that the member reads
        bool tcb;
    };
    const std::vector<Kind> kinds = {
        {"*CONTROL_POS_TRACK", "*CONTROL_POS_SAMPLE", refhost::KeyType::Position, 3, false},
        {"*CONTROL_POS_TCB", "*CONTROL_TCB_POS_KEY", refhost::KeyType::Position, 3, false},
        {"*CONTROL_POS_BEZIER", "*CONTROL_BEZIER_POS_KEY", refhost::KeyType::Position, 8, false},
        {"*CONTROL_POS_LINEAR", "*CONTROL_POS_KEY", refhost::KeyType::Position, 3, false},
        {"*CONTROL_ROT_TCB", "*CONTROL_TCB_ROT_KEY", refhost::KeyType::Rotation, 9, true},
        {"*CONTROL_ROT_TRACK", "*CONTROL_ROT_SAMPLE", refhost::KeyType::Rotation, 4, false},
        {"*CONTROL_ROT_LINEAR", "*CONTROL_ROT_KEY", refhost::KeyType::Rotation, 4, false},
        {"*CONTROL_ROT_BEZIER", "*CONTROL_ROT_KEY", refhost::KeyType::Rotation, 4, false},
        {"*CONTROL_SCALE_TCB", "*CONTROL_TCB_SCALE_KEY", refhost::KeyType::Scale, 8, true},
        {"*CONTROL_SCALE_TRACK", "*CONTROL_SCALE_SAMPLE", refhost::KeyType::Scale, 3, false},
        {"*CONTROL_SCALE_LINEAR", "*CONTROL_SCALE_KEY", refhost::KeyType::Scale, 7, false},
        {"*CONTROL_SCALE_BEZIER", "*CONTROL_BEZIER_SCALE_KEY", refhost::KeyType::Scale, 14, false},
    };
    for (const Kind& kind : kinds) {
        // Two keys with exactly the numbers the member reads, then numbers
        // that no member reads: they are passed over.
        std::string keys;
        for (const int time : {9600, 4800}) {
            keys += std::string(" ") + kind.key + " " + std::to_string(time);
            for (int i = 1; i <= kind.numbers; ++i) keys += " " + std::to_string(i);
        }
        keys += " 98 99";
        AseText input(std::string("*GEOMOBJECT { *TM_ANIMATION { ") + kind.controller + " {" + keys + " } } }");
        ASSERT_TRUE(ParseDocument(input.reader)) << kind.controller;
        const refhost::TracksData& tracks = tracksOf(input, 0);
        ASSERT_EQ(tracks.keys.size(), 2u) << kind.controller;
        EXPECT_EQ(tracks.keys[0]->time, 2.0f) << "keys in file order, 4800 ticks to the second";
        EXPECT_EQ(tracks.keys[1]->time, 1.0f);
        for (const refhost::KeyData* key : tracks.keys) {
            EXPECT_EQ(key->type, kind.type) << kind.controller;
            const std::size_t values = kind.type == refhost::KeyType::Rotation ? 4 : 3;
            ASSERT_EQ(key->value.size(), values);
            for (std::size_t i = 0; i < values; ++i) EXPECT_EQ(key->value[i], static_cast<float>(i + 1));
            const KeyTcb tcb = keyTcb(key->self);
            const float firstTcb = kind.tcb ? static_cast<float>(values + 1) : 0.0f;
            EXPECT_EQ(tcb.tension, firstTcb) << kind.controller;
            EXPECT_EQ(tcb.easeOut, kind.tcb ? firstTcb + 4 : 0.0f) << kind.controller;
        }
    }
}

TEST(Animation, TrackSetIsFetchedAtTheFirstControllerKeywordOfANode) {
    AseText none("*HELPEROBJECT { *TM_ANIMATION { *NODE_NAME \"x\" } }");
    ASSERT_TRUE(ParseDocument(none.reader));
    EXPECT_EQ(none.traceWith("Animation"), Lines{"Scene.GetAnimation(1) -> animation"});

    AseText unsupported(
        "*HELPEROBJECT { *NODE_NAME \"H\" *TM_ANIMATION { *CONTROL_FLOAT_TRACK { *X { } } *CONTROL_POS_TRACK { "
        "*CONTROL_POS_SAMPLE 0 1 2 3 } *OTHER 5 } }");
    ASSERT_TRUE(ParseDocument(unsupported.reader));
    EXPECT_EQ(unsupported.messages(), (Lines{"2: *CONTROL_FLOAT_TRACK - unsupported", "2: *OTHER - unsupported"}));
    EXPECT_EQ(unsupported.traceWith("GetNodeTracks").size(), 1u);
    EXPECT_EQ(tracksOf(unsupported, 0).keys.size(), 1u);

    // A name that finds nothing leaves the keys on the block's own node; a
    // name after the first controller keyword comes too late.
    AseText names(
        "*HELPEROBJECT { *NODE_NAME \"A\" } *HELPEROBJECT { *NODE_NAME \"B\" *TM_ANIMATION { *NODE_NAME \"None\" "
        "*control_pos_track { *control_pos_sample 0 1 1 1 } *NODE_NAME \"A\" *CONTROL_ROT_TRACK { "
        "*CONTROL_ROT_SAMPLE 0 0 0 1 0 } } }");
    ASSERT_TRUE(ParseDocument(names.reader));
    EXPECT_EQ(names.traceWith("GetNodeTracks"), Lines{"Animation.GetNodeTracks(#1)"});
    EXPECT_EQ(tracksOf(names, 1).keys.size(), 2u) << "a lower-case controller keyword fetches them too";

    AseText nobody("*TM_ANIMATION { *NODE_NAME \"nobody\" *CONTROL_POS_TRACK { *CONTROL_POS_SAMPLE 0 1 2 3 } }");
    EXPECT_FALSE(ParseDocument(nobody.reader));
    EXPECT_TRUE(nobody.traceWith("GetNodeTracks").empty()) << "the host is never asked for the tracks of no node";
}
