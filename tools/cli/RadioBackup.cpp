#include "cli/RadioBackup.h"

#include "cli/LinkSession.h"

namespace {

constexpr int kChannelCount = 16;

// The port closes when the session ends, also when a transfer fails on the way.
class PortOpenScope {
public:
    explicit PortOpenScope(TLinkSession &session) : m_session(session) { m_session.OpenPort(); }
    ~PortOpenScope() { m_session.ClosePort(); }
    PortOpenScope(const PortOpenScope &) = delete;
    PortOpenScope &operator=(const PortOpenScope &) = delete;

private:
    TLinkSession &m_session;
};

}  // namespace

const std::array<SignallingTransfer, 4> &SignallingTransfers()
{
    // DTMF and FSK count their replies, two-tone and five-tone follow the block each reply
    // carries; only the FSK area is written as head and data without a check value.
    static const std::array<SignallingTransfer, 4> transfers{{
        {frame::kDtmfArea, NextRead::CountReplies, WriteFraming::WithCrc},
        {frame::kFskArea, NextRead::CountReplies, WriteFraming::HeadThenData},
        {frame::kTwoToneArea, NextRead::FollowReply, WriteFraming::WithCrc},
        {frame::kFiveToneArea, NextRead::FollowReply, WriteFraming::WithCrc},
    }};
    return transfers;
}

MainImage MainImageOf(const TRadioImage &image)
{
    MainImage main;
    for (int n = 1; n <= kChannelCount; ++n)
        main.channels[static_cast<std::size_t>(n - 1)] = image.block(frame::kMainArea, n);
    main.settings = image.block(frame::kSettingsArea, 0);
    return main;
}

void SetMainImage(TRadioImage &image, const MainImage &main)
{
    for (int n = 1; n <= kChannelCount; ++n)
        image.setBlock(frame::kMainArea, n, main.channels[static_cast<std::size_t>(n - 1)]);
    image.setBlock(frame::kSettingsArea, 0, main.settings);
}

TRadioImage BackupRadio(TLinkSession &session)
{
    TRadioImage image;
    // The main read closes the port at its end; the area reads need it open again.
    SetMainImage(image, session.MainRead());
    PortOpenScope open(session);
    for (const SignallingTransfer &transfer : SignallingTransfers()) {
        const std::vector<Block> blocks = session.AreaRead(transfer.area, transfer.read);
        for (int block = 0; block < static_cast<int>(blocks.size()); ++block)
            image.setBlock(transfer.area, block, blocks[static_cast<std::size_t>(block)]);
    }
    return image;
}

void RestoreRadio(TLinkSession &session, const TRadioImage &image)
{
    session.MainWrite(MainImageOf(image));
    PortOpenScope open(session);
    for (const SignallingTransfer &transfer : SignallingTransfers()) {
        std::vector<Block> blocks;
        for (int block = 0; block < frame::blockCount(transfer.area); ++block)
            blocks.push_back(image.block(transfer.area, block));
        session.AreaWrite(transfer.area, blocks, transfer.write);
    }
}
