#include "cli/RadioBackup.h"

#include "backup/ImageAreas.h"
#include "cli/CliError.h"
#include "cli/CliOptions.h"
#include "cli/LinkSession.h"

#include <algorithm>

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

std::vector<int> SignallingAreasOf(const TRadioImage &image)
{
    std::vector<int> areas;
    for (int area : kSignallingAreas)
        if (image.holdsAnyOf(area))
            areas.push_back(area);
    return areas;
}

}  // namespace

bool HoldsMain(const TRadioImage &image)
{
    return image.holdsAnyOf(frame::kMainArea) || image.holdsAnyOf(frame::kSettingsArea);
}

void SetMainImage(TRadioImage &image, const MainImage &main)
{
    for (int n = 1; n <= frame::kChannelCount; ++n)
        image.setBlock(frame::kMainArea, n, main.channels[static_cast<std::size_t>(n - 1)]);
    image.setBlock(frame::kSettingsArea, 0, main.settings);
}

TRadioImage ReadRadio(TLinkSession &session, const TRadioImage &which)
{
    TRadioImage image = TRadioImage::None();
    // The main read closes the port at its end; the area reads need it open again.
    if (HoldsMain(which))
        SetMainImage(image, session.MainRead());
    const std::vector<int> areas = SignallingAreasOf(which);
    if (areas.empty())
        return image;
    PortOpenScope open(session);
    // Each area moves as its editor moves it.
    for (int number : areas) {
        const TArea &area = AreaFacts(number);
        const std::vector<Block> blocks = session.AreaRead(number, area.read);
        for (std::size_t i = 0; i < blocks.size(); ++i)
            image.setBlock(number, area.firstBlock + static_cast<int>(i), blocks[i]);
    }
    return image;
}

TRadioImage BackupRadio(TLinkSession &session)
{
    return ReadRadio(session, TRadioImage());
}

TRadioImage AreaMask(const QList<int> &areas)
{
    const TRadioImage whole;
    TRadioImage mask = TRadioImage::None();
    for (const TRadioImage::Place &place : TRadioImage::Places())
        if (areas.contains(place.area))
            mask.setBlock(place.area, place.block, whole.block(place.area, place.block));
    return mask;
}

void WriteRadio(TLinkSession &session, const TRadioImage &image, int *written)
{
    if (HoldsMain(image)) {
        try {
            session.MainWrite(MainPart(image));
        } catch (const ETransferFailed &e) {
            *written += std::max(0, e.answered() - 1);  // the handshake's acknowledgement is no block
            throw;
        }
        *written += frame::kMainAnswers - 1;
    }
    const std::vector<int> areas = SignallingAreasOf(image);
    if (areas.empty())
        return;
    PortOpenScope open(session);
    for (int number : areas) {
        const TArea &area = AreaFacts(number);
        std::vector<Block> blocks;
        for (int block = area.firstBlock; block < area.EndBlock(); ++block)
            blocks.push_back(image.block(number, block));
        try {
            session.AreaWrite(number, blocks, area.framing);
        } catch (const ETransferFailed &e) {
            *written += e.answered();
            throw;
        }
        *written += static_cast<int>(blocks.size());
    }
}

// The areas --areas names, each of which the image must hold (the channels and the settings
// count as one area, main).
TRadioImage ChosenAreas(const TRadioImage &image, const CliOptions &options)
{
    if (!options.areasGiven)
        return image;
    for (int area : options.areas) {
        const bool main = area == frame::kMainArea || area == frame::kSettingsArea;
        if (main ? !HoldsMain(image) : !image.holdsAnyOf(area))
            throw ECliError(QStringLiteral("%1 holds no block of %2, nothing sent")
                                .arg(options.file, main ? QStringLiteral("the channels and settings (main)") : AreaName(area)));
    }
    return image.restrictedTo(AreaMask(options.areas));
}
