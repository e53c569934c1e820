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
};
