#include "cli/RadioBackup.h"

#include "cli/LinkSession.h"

namespace {

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

MainImage MainImageOf(const TRadioImage &image)
{
    MainImage main;
    for (int n = 1; n <= frame::kChannelCount; ++n)
        main.channels[static_cast<std::size_t>(n - 1)] = image.block(frame::kMainArea, n);
    main.settings = image.block(frame::kSettingsArea, 0);
    return main;
}

void SetMainImage(TRadioImage &image, const MainImage &main)
{
    for (int n = 1; n <= frame::kChannelCount; ++n)
        image.setBlock(frame::kMainArea, n, main.channels[static_cast<std::size_t>(n - 1)]);
    image.setBlock(frame::kSettingsArea, 0, main.settings);
}

TRadioImage BackupRadio(TLinkSession &session)
{
    TRadioImage image;
    // The main read closes the port at its end; the area reads need it open again.
    SetMainImage(image, session.MainRead());
    PortOpenScope open(session);
    // Each area moves as its editor moves it.
    for (int number : kSignallingAreas) {
        const TArea &area = AreaFacts(number);
        const std::vector<Block> blocks = session.AreaRead(number, area.read);
        for (std::size_t i = 0; i < blocks.size(); ++i)
            image.setBlock(number, area.firstBlock + static_cast<int>(i), blocks[i]);
    }
    return image;
}

void RestoreRadio(TLinkSession &session, const TRadioImage &image)
{
    session.MainWrite(MainImageOf(image));
    PortOpenScope open(session);
    for (int number : kSignallingAreas) {
        const TArea &area = AreaFacts(number);
        std::vector<Block> blocks;
        for (int block = area.firstBlock; block < area.EndBlock(); ++block)
            blocks.push_back(image.block(number, block));
        session.AreaWrite(number, blocks, area.framing);
    }
}
