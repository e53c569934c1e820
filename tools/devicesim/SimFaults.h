#pragma once

// The misbehaviour a simulated device is told to show, so that a client can
// be tried against lost answers, refusals, drops and slow links. Counts are
// per connection; 0 turns a fault off.
struct SimFaults
{
    int dropEvery = 0;       // every Nth command gets no answer and has no effect
    int nakEvery = 0;        // every Nth command is answered with NAK and has no effect
    int closeAfter = 0;      // the connection is closed once N commands have been answered
    int delayMs = 0;         // every answer leaves this much later
    bool refuse = false;     // every accepted connection is closed at once
    bool noSubscribe = false; // the subscription handshake and subscriptions are refused
    int silentAfter = 0;     // after N commands the connection stays open and answers nothing more
    int stallAfter = 0;      // after N commands the connection stops reading its socket
    bool splitReplies = false; // every write leaves in two pieces, SplitGapMs apart
    int restartEveryS = 0;   // the device closes everything and listens again every S seconds

    // How far apart the two pieces of a split write leave, and how long a
    // restarting device stays away.
    static constexpr int SplitGapMs = 80;
    static constexpr int RestartPauseMs = 1000;
    // The last bytes of a write that --split-replies holds back: a value is
    // cut inside ("=-12" and ".5\r").
    static constexpr int SplitTailBytes = 3;
};
