// xiepin-soak CYCLES [PERCENT] [SEED]: repeats a main read, a main write, and a read and a
// write of every signalling area, CYCLES times, against an in-process virtual radio that meets
// PERCENT % of its answers (default 5) with a random fault: dropped, split, noise first, wrong
// block, far block. The engine runs as in the program, with its 300 ms resend. After every write
// the radio's memory is compared with what was written, after every read the blocks read with
// the radio's memory. A transfer may fail with its message (a wrong block makes a read skip
// one); it must end. Prints the counts; exit code 1 on a mismatch.
#include "backup/ImageAreas.h"
#include "cli/CliError.h"
#include "cli/CliProgress.h"
#include "cli/LinkSession.h"
#include "cli/RadioBackup.h"
#include "protocol/Areas.h"
#include "support/radio/RadioChannel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>
#include <functional>

namespace {

// Silence after which a transfer counts as failed: longer than several resends.
constexpr int kTimeoutMs = 2000;

struct Counts {
    int transfers = 0;
    int failed = 0;
    int mismatches = 0;
    int resends = 0;  // frames of completed transfers beyond one per block and handshake
};

Block RandomBlock(QRandomGenerator &rng)
{
    Block data{};
    for (auto &byte : data)
        byte = static_cast<std::uint8_t>(rng.bounded(256));
    return data;
}

class Soak {
public:
    Soak(int percent, quint32 seed, FILE *quiet) : m_rng(seed ^ 0x5A5A5A5Au), m_progress(quiet)
    {
        RadioFaults faults;
        faults.randomPercent = percent;
        faults.seed = seed;
        m_radio.setFaults(faults);
        for (const TRadioImage::Place &place : TRadioImage::Places())
            m_image.setBlock(place.area, place.block, RandomBlock(m_rng));
        m_radio.setImage(m_image);
        m_session = std::make_unique<TLinkSession>(std::make_unique<RadioChannel>(m_radio), QStringLiteral("soak"),
                                                   kTimeoutMs, m_progress);
    }

    void Cycle()
    {
        Transfer(frame::kMainArea, frame::kChannelCount + 2, [this] { CheckMain(m_session->MainRead()); });
        TRadioImage next = m_image;
        for (const TRadioImage::Place &place : TRadioImage::Places())
            next.setBlock(place.area, place.block, RandomBlock(m_rng));
        Transfer(frame::kMainArea, frame::kChannelCount + 2, [&] {
            m_session->MainWrite(MainPart(next));
            SetMainImage(m_image, MainPart(next));
        });
        CheckMemory();  // also after a failed write: what was acknowledged is stored
        for (int area : kSignallingAreas) {
            const TArea &facts = AreaFacts(area);
            Transfer(area, facts.blockCount, [&] { CheckArea(area, m_session->AreaRead(area, facts.read)); });
            std::vector<Block> blocks;
            for (int block = 0; block < facts.blockCount; ++block)
                blocks.push_back(next.block(area, block));
            Transfer(area, facts.blockCount, [&] {
                m_session->AreaWrite(area, blocks, facts.framing);
                for (int block = 0; block < facts.blockCount; ++block)
                    m_image.setBlock(area, block, blocks[static_cast<std::size_t>(block)]);
            });
            CheckMemory();
        }
        m_session->ClosePort();
    }

    void Report(int cycles, qint64 ms) const
    {
        const RandomFaultCounts &f = m_radio.randomFaults();
        std::printf("cycles %d in %.1f s\n", cycles, ms / 1000.0);
        std::printf("transfers %d: completed %d, failed with a message %d, ended %d\n", m_counts.transfers,
                    m_counts.transfers - m_counts.failed, m_counts.failed, m_counts.transfers);
        std::printf("faults met %d: dropped %d, split %d, noise first %d, wrong block %d, far block %d\n", f.total(),
                    f.drop, f.split, f.garbage, f.wrongBlock, f.farBlock);
        std::printf("frames the radio heard %d, resends in completed transfers %d\n", m_radio.framesHeard(),
                    m_counts.resends);
        std::printf("mismatches %d\n", m_counts.mismatches);
    }

    int Mismatches() const { return m_counts.mismatches; }

private:
    // Runs one transfer to its end; a failure is counted, and the radio's memory is taken as
    // the truth from then on (a write may have stored some blocks).
    void Transfer(int area, int frames, const std::function<void()> &run)
    {
        const int heard = m_radio.framesHeard();
        ++m_counts.transfers;
        try {
            if (area > 0 && !m_session->Link().IsPortOpen())
                m_session->OpenPort();  // a failed transfer closes it; the main ones open it themselves
            run();
            m_counts.resends += m_radio.framesHeard() - heard - frames;
        } catch (const ECliError &error) {
            ++m_counts.failed;
            std::printf("  failed: %s\n", qPrintable(error.message()));
            m_image = m_radio.image();
        }
    }

    void CheckMain(const MainImage &read)
    {
        const MainImage stored = MainPart(m_radio.image());
        if (read.channels != stored.channels || read.settings != stored.settings)
            Mismatch("main read");
    }

    void CheckArea(int area, const std::vector<Block> &read)
    {
        for (std::size_t block = 0; block < read.size(); ++block)
            if (read[block] != m_radio.image().block(area, static_cast<int>(block)))
                Mismatch(QStringLiteral("read of area %1 block %2").arg(area).arg(block));
    }

    void CheckMemory()
    {
        if (m_radio.image() != m_image)
            Mismatch("memory after a write");
    }

    void Mismatch(const QString &what)
    {
        ++m_counts.mismatches;
        std::printf("  MISMATCH: %s\n", qPrintable(what));
    }

    QRandomGenerator m_rng;
    TCliProgress m_progress;
    VirtualRadio m_radio;
    TRadioImage m_image;
    std::unique_ptr<TLinkSession> m_session;
    Counts m_counts;
};

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int cycles = args.value(1, QStringLiteral("500")).toInt();
    const int percent = args.value(2, QStringLiteral("5")).toInt();
    const quint32 seed = args.value(3, QStringLiteral("1")).toUInt();
    if (cycles < 1 || percent < 0 || percent > 100) {
        std::fprintf(stderr, "usage: xiepin-soak [CYCLES] [PERCENT] [SEED]\n");
        return 2;
    }
    FILE *quiet = std::fopen("/dev/null", "w");  // the per-transfer progress lines
    Soak soak(percent, seed, quiet);
    QElapsedTimer clock;
    clock.start();
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        soak.Cycle();
        if (cycle % 50 == 0) {
            std::printf("cycle %d, %.0f s\n", cycle, clock.elapsed() / 1000.0);
            std::fflush(stdout);
        }
    }
    soak.Report(cycles, clock.elapsed());
    const int status = soak.Mismatches() == 0 ? 0 : 1;
    std::fclose(quiet);
    return status;
}
