// The transfer engine's receive path on any sequence of chunks, resend ticks and the settings
// pause, for every transfer kind. Timers never run by themselves: the input says when a timer
// fires, so a run is deterministic and single-threaded. Checked, with abort so libFuzzer stops:
// a reply reaches only its own table, every byte sent belongs to a frame the running transfer
// may send, a transfer finishes at most once and sends nothing after, and after the port goes
// away nothing more is even tried.
#include "protocol/ProgramLink.h"
#include "support/core/FakeChannel.h"

#include <cstdlib>
#include <set>

namespace {

// The input, read from the front; past its end every byte is 0.
class Input {
public:
    Input(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    uint8_t byte() { return atEnd() ? 0 : m_data[m_pos++]; }
    QByteArray bytes(int count)
    {
        QByteArray out;
        for (int i = 0; i < count && !atEnd(); ++i)
            out.append(static_cast<char>(byte()));
        return out;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

Block Pattern(int area, int block)
{
    Block data{};
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(area * 31 + block * 7 + static_cast<int>(i));
    return data;
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// One run: the transfer, what it may send, and what it did.
class Run {
public:
    Run() : m_port(new FakeChannel), m_link(std::unique_ptr<TSerialChannel>(m_port))
    {
        QObject::connect(&m_link, &TProgramLink::MainBlockRead, [this](int area, int block, const Block &) {
            Check(m_kind == TransferKind::MainRead && m_link.Running() == TransferKind::MainRead);
            Check((area == frame::kMainArea && block >= 1 && block <= frame::kChannelCount)
                  || (area == frame::kSettingsArea && block == 0));
        });
        QObject::connect(&m_link, &TProgramLink::AreaBlockRead, [this](int area, int block, const Block &) {
            Check(m_kind == TransferKind::AreaRead && area == m_area);
            Check(block >= 0 && block < frame::blockCount(area));
        });
        QObject::connect(&m_link, &TProgramLink::Finished, [this](TransferKind kind, int, TransferEnd) {
            Check(kind == m_kind && !m_finished);
            m_finished = true;
        });
    }

    void Start(Input &in)
    {
        m_link.SetResendInterval(300);
        const int choice = in.byte() % 12;
        m_port->SetCommName(QStringLiteral("COM2"));
        if (choice == 0) {
            m_kind = TransferKind::MainRead;
            m_allowed = {frame::handshake(), readRequest(frame::kSettingsArea, 0)};
            for (int block = 1; block <= frame::kChannelCount; ++block)
                m_allowed.insert(readRequest(frame::kMainArea, block));
            Check(m_link.StartMainRead(QStringLiteral("COM2")));
        } else if (choice == 1) {
            m_kind = TransferKind::MainWrite;
            MainImage image;
            m_allowed = {frame::handshake()};
            for (int block = 1; block <= frame::kChannelCount; ++block) {
                image.channels[static_cast<std::size_t>(block - 1)] = Pattern(frame::kMainArea, block);
                m_allowed.insert(blockFrame(frame::kMainArea, block, Pattern(frame::kMainArea, block)));
            }
            image.settings = Pattern(frame::kSettingsArea, 0);
            m_allowed.insert(blockFrame(frame::kSettingsArea, 0, image.settings));
            Check(m_link.StartMainWrite(QStringLiteral("COM2"), image));
        } else {
            m_area = 1 + (choice - 2) % 5;
            const TArea &facts = AreaFacts(m_area);
            m_port->OpenPort();
            if (choice < 7) {
                m_kind = TransferKind::AreaRead;
                for (int block = 0; block < facts.blockCount; ++block)
                    m_allowed.insert(readRequest(m_area, block));
                Check(m_link.StartAreaRead(m_area, facts.read));
            } else {
                m_kind = TransferKind::AreaWrite;
                const int count = 1 + in.byte() % facts.blockCount;
                std::vector<Block> blocks;
                for (int block = 0; block < count; ++block) {
                    blocks.push_back(Pattern(m_area, block));
                    m_allowed.insert(TFrame::BlockWrite(m_area, block, blocks.back(), facts.framing).Bytes());
                }
                Check(m_link.StartAreaWrite(m_area, blocks, facts.framing));
            }
        }
        CheckSent(false);
    }

    // One step of the input.
    void Step(Input &in)
    {
        const uint8_t op = in.byte();
        switch (op % 8) {
        case 0:
        case 1: {  // a raw chunk
            const int size = 1 + in.byte() % 40;
            Deliver(in.bytes(size));
            break;
        }
        case 2: {  // a raw chunk as the port cuts it at a complete answer, with its rest
            const int size = 1 + in.byte() % 40;
            const QByteArray chunk = in.bytes(size);
            const int frameEnd = static_cast<int>(CompleteAnswerLength(chunk.constData(), std::size_t(chunk.size())));
            if (frameEnd == 0 || frameEnd == chunk.size()) {
                Deliver(chunk);
            } else {
                Deliver(chunk.left(frameEnd));
                DeliverRest(chunk.mid(frameEnd));
            }
            break;
        }
        case 3: {  // a well-formed reply for any area and block, whole or split
            const int area = in.byte() % 8;
            const int block = in.byte();
            QByteArray reply = blockFrame(area, block, Pattern(area, block));
            if (in.byte() & 1)
                reply[5] = 0x30;  // asks the tool for an acknowledgement
            const int cut = in.byte() % (reply.size() + 1);
            if (cut > 0 && cut < reply.size()) {
                Deliver(reply.left(cut));
                Deliver(reply.mid(cut));
            } else {
                Deliver(reply);
            }
            break;
        }
        case 4:
            Deliver(QByteArray(1, static_cast<char>(frame::kAck)));
            break;
        case 5:  // the resend timer fires, as it does only while it runs
            if (m_link.IsResending())
                QMetaObject::invokeMethod(&m_link, "Tim1Timer", Qt::DirectConnection);
            CheckSent(false);
            break;
        case 6:  // the settings pause or the wait for a resent frame's other acknowledgements ends
            if (op & 0x80) {
                if (m_link.IsHoldingAck())
                    QMetaObject::invokeMethod(&m_link, "LateAcksTimer", Qt::DirectConnection);
            } else {
                QMetaObject::invokeMethod(&m_link, "SettingsPauseTimer", Qt::DirectConnection);
            }
            CheckSent(false);
            break;
        case 7:
            if (op & 0x80) {
                m_port->Disappear();
                m_gone = true;
                m_refusedAtHangup = m_port->refusedWrites();
                Check(!m_link.IsBusy());
            } else if (op & 0x40) {
                m_link.Cancel();
                Check(!m_link.IsBusy());
            }
            break;
        }
        if (m_gone)
            Check(m_port->refusedWrites() == m_refusedAtHangup && m_port->writeCount() == m_checked);
    }

    void Finish()
    {
        Check(m_link.IsBusy() != m_finished);
    }

private:
    // A closed port reads nothing.
    void Deliver(const QByteArray &chunk)
    {
        if (!m_port->IsOpen())
            return;
        m_port->Inject(chunk);
        CheckSent(true);
    }

    // A rest may complete a reply that was being collected, as its whole chunk would have.
    void DeliverRest(const QByteArray &rest)
    {
        if (!m_port->IsOpen())
            return;
        m_port->InjectRest(rest);
        CheckSent(true);
    }

    // The bytes sent since the last check are whole frames the transfer may send; an
    // acknowledgement only in answer to a received chunk; nothing but that after the end.
    void CheckSent(bool answeringChunk)
    {
        QByteArray sent = m_port->allBytes(m_checked);
        m_checked = m_port->writeCount();
        while (!sent.isEmpty()) {
            if (sent.startsWith(static_cast<char>(frame::kAck))) {
                Check(answeringChunk);
                sent.remove(0, 1);
                continue;
            }
            Check(!m_finished);
            bool known = false;
            for (const QByteArray &frame : m_allowed) {
                if (sent.startsWith(frame)) {
                    sent.remove(0, frame.size());
                    known = true;
                    break;
                }
            }
            Check(known);
        }
    }

    FakeChannel *m_port;  // owned by m_link
    TProgramLink m_link;
    TransferKind m_kind = TransferKind::None;
    int m_area = -1;
    std::set<QByteArray> m_allowed;
    int m_checked = 0;
    bool m_finished = false;
    bool m_gone = false;
    int m_refusedAtHangup = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in(data, size);
    Run run;
    run.Start(in);
    for (int steps = 0; !in.atEnd() && steps < 4096; ++steps)
        run.Step(in);
    run.Finish();
    return 0;
}
