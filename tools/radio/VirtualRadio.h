#pragma once

#include "protocol/RadioImage.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <set>
#include <vector>

// Bytes the radio puts on the line after keeping it silent for pauseMs. A wrapper sends the
// parts of an answer in order; a pause of 20 ms or more makes the tool see separate chunks.
struct RadioSend {
    int pauseMs = 0;
    QByteArray bytes;
};

// When a fault strikes: never, on every occasion, or on the n-th one only (counted from 1).
class FaultTrigger {
public:
    static FaultTrigger never() { return FaultTrigger(); }
    static FaultTrigger always()
    {
        FaultTrigger trigger;
        trigger.m_always = true;
        return trigger;
    }
    static FaultTrigger nth(int n)
    {
        FaultTrigger trigger;
        trigger.m_nths.insert(n);
        return trigger;
    }
    FaultTrigger() = default;
    bool enabled() const { return m_always || !m_nths.empty(); }
    bool strikes(int count) const { return m_always || m_nths.count(count) > 0; }
    // Strikes whenever either does: drop=3 then drop=7 drops both answers.
    FaultTrigger joined(const FaultTrigger &other) const
    {
        FaultTrigger both = *this;
        both.m_always = m_always || other.m_always;
        both.m_nths.insert(other.m_nths.begin(), other.m_nths.end());
        return both;
    }

private:
    bool m_always = false;
    std::set<int> m_nths;
};

// Misbehaviour on purpose, for tests. "Answers" are acknowledgements and read replies,
// "replies" read replies only, "frames" complete frames heard from the tool.
struct RadioFaults {
    bool silent = false;          // silent: hears nothing, stores nothing, answers nothing
    FaultTrigger drop;            // drop[=N]: that answer is not sent (a write is still stored)
    FaultTrigger split;           // split[=N]: that reply goes out in two parts 25 ms apart
    FaultTrigger garbage;         // garbage[=N]: noise bytes, 25 ms, then that answer
    FaultTrigger wrongBlock;      // wrong-block[=N]: that reply is the frame of block + 1
    FaultTrigger farBlock;        // far-block[=N]: that reply carries block 0x7F (no area has it)
    FaultTrigger badCheck;        // bad-check[=N]: that reply carries a wrong check value
    FaultTrigger badData;         // bad-data[=N]: that reply has a data byte changed on the line,
                                  // after its check value was computed
    FaultTrigger trailing;        // trailing[=N]: stray bytes right after that answer, no pause
    FaultTrigger corrupt;         // corrupt[=N]: that written block is acknowledged but stored with
                                  // its first data byte changed (counted over stored blocks)
    int disappearAfter = 0;       // disappear=N: the device closes after N frames; 0 never
    int randomPercent = 0;        // random=P%: P % of the answers meet one fault picked at random
    quint32 seed = 1;             // seed=N: of the random faults, so a run can be repeated

    // "NAME" or "NAME=N"; false with *error set for an unknown name or a bad count.
    bool add(const QString &spec, QString *error);
    // One line per fault for --help.
    static QStringList descriptions();
};

// What the random faults did so far.
struct RandomFaultCounts {
    int drop = 0;
    int split = 0;
    int garbage = 0;
    int wrongBlock = 0;
    int farBlock = 0;
    int total() const { return drop + split + garbage + wrongBlock + farBlock; }
};

// The radio's side of the programming protocol over its memory image, free of any device:
// bytes from the tool go into handle() in whatever pieces they arrive, and the answers come
// back as parts to send.
//
//   "PROGRAM"                        -> 06
//   52 area block 20                 -> 57 area block 20, 28 data bytes, CRC high, CRC low
//   57 area block 20 data CRC        -> stored, 06 (a wrong CRC: ignored, nothing stored)
//   57 02 block 20 data              -> stored, 06 (area 2 carries no CRC)
// Requests and writes for blocks outside the six areas get no answer; a lone 06 from the
// tool is ignored; a byte that starts no frame is skipped, so the parser resynchronises
// on the next frame start.
class VirtualRadio {
public:
    static constexpr int kSplitPauseMs = 25;
    static const QByteArray &garbageBytes();
    static const QByteArray &trailingBytes();

    explicit VirtualRadio(const TRadioImage &image = TRadioImage());

    const TRadioImage &image() const { return m_image; }
    void setImage(const TRadioImage &image) { m_image = image; }
    RadioFaults &faults() { return m_faults; }
    // Also seeds the random faults.
    void setFaults(const RadioFaults &faults);
    // Silence before every answer, as a slow radio keeps it.
    void setLatency(int ms) { m_latencyMs = ms; }
    int latency() const { return m_latencyMs; }

    std::vector<RadioSend> handle(const QByteArray &bytes);
    // Forgets a partly received frame.
    void resetInput() { m_input.clear(); }

    bool gone() const { return m_gone; }
    // The device is there again (a cable plugged back in): frames count from 0, no disappear.
    void reconnect();
    int framesHeard() const { return m_frames; }
    int blocksStored() const { return m_stored; }
    const RandomFaultCounts &randomFaults() const { return m_random; }

private:
    enum class Parse { NeedMore, Skip, Consumed };
    Parse parseOne(std::vector<RadioSend> &out);
    Parse parseHandshake(std::vector<RadioSend> &out);
    Parse parseRequest(std::vector<RadioSend> &out);
    Parse parseWrite(std::vector<RadioSend> &out);
    void frameHeard();
    void answer(QByteArray bytes, bool isReply, std::vector<RadioSend> &out);
    QByteArray replyFor(int area, int block, int replyNo) const;
    enum class Fault { None, Drop, Split, Garbage, WrongBlock, FarBlock };
    QByteArray misdirected(int area, int block, Fault fault) const;
    Fault pickRandomFault(bool isReply);

    TRadioImage m_image;
    RadioFaults m_faults;
    int m_latencyMs = 0;
    QByteArray m_input;
    int m_frames = 0;
    int m_answers = 0;
    int m_replies = 0;
    int m_stored = 0;
    bool m_gone = false;
    QRandomGenerator m_rng;
    RandomFaultCounts m_random;
};
