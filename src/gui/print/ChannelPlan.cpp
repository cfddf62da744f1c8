#include "print/ChannelPlan.h"

#include "base/ShownText.h"
#include "base/FileContents.h"
#include "base/Version.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/MainConfig.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <algorithm>

namespace {

constexpr double kMarginMm = 10;
constexpr double kFontPoints = 9;

// The settings as the window shows them: two rows of five boxes.
constexpr int kSettingRows[2][5] = {
    {VoxLevelBox, TimeOutBox, PowerSaveBox, Pf1Box, VoicePromptBox},
    {VoxDelayBox, SquelchBox, ScanBox, Pf2Box, AlarmBox},
};

// The title, the captions, labels and list entries in the language of the installed translator;
// the command line has none and prints the Chinese ones.
QString Title()
{
    return ProgramName() + QStringLiteral(" V") + QLatin1String(kXiepinVersion);
}

QString Escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString ChannelTable(const TMainConfig &config)
{
    QString html = QStringLiteral(
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\" "
        "style=\"border-collapse: collapse; border-color: #000000;\"><tr>");
    // The captions and channel numbers are the table's own, whatever a file's line 1 and first
    // fields say.
    for (int c = 0; c < TMainConfig::kCols; ++c)
        html += QStringLiteral("<th bgcolor=\"#e6e6e6\" valign=\"middle\" style=\"white-space: nowrap;\">%1</th>").arg(Escaped(ShownText(ChannelColumns().at(c).caption)));
    html += QStringLiteral("</tr>");
    for (int n = 1; n <= TMainConfig::kChannels; ++n) {
        if (!config.IsChannelInUse(n))
            continue;
        html += QStringLiteral("<tr>");
        for (int c = 0; c < TMainConfig::kCols; ++c) {
            const QString text = c == col::Number ? QString::number(n) : ShownEntry(config.Cell(n, c), ChannelColumns().at(c).items);
            html += QStringLiteral("<td align=\"center\" valign=\"middle\" style=\"white-space: nowrap;\">%1</td>").arg(Escaped(text));
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString SettingsTable(const TMainConfig &config, bool withAlarm)
{
    QString html = QStringLiteral(
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
        "style=\"border-collapse: collapse; border-color: #000000;\">");
    for (const auto &row : kSettingRows) {
        html += QStringLiteral("<tr>");
        for (const int box : row) {
            const bool shown = box != AlarmBox || withAlarm;
            html += QStringLiteral("<td bgcolor=\"#e6e6e6\">%1</td><td align=\"center\" width=\"90\">%2</td>")
                        .arg(Escaped(ShownSettingPlace(box)), shown ? Escaped(ShownText(config.Setting(box))) : QString());
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QFont PlanFont()
{
    QFont font;
    // Latin text and digits first from a Latin font: a CJK font swaps in other digit glyphs next
    // to Latin letters ("754I", "V1.1.4"), which the PDF's text layer then cannot name. The
    // Chinese comes from the CJK fonts after it (or whatever fontconfig falls back to). A font
    // that draws 无 and the Kangxi radical ⽆ with one glyph, as Noto Sans CJK does, gets the
    // radical into the PDF's text layer (Qt names a glyph by its lowest code point), so a font
    // without the radicals comes first.
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Arial"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun"),
                      QStringLiteral("sans-serif")});
    font.setPointSizeF(kFontPoints);
    return font;
}

}  // namespace

QString ChannelPlanHtml(const TMainConfig &config, const ChannelPlanInfo &info)
{
    QString html = QStringLiteral("<html><body><h2>%1</h2><p>").arg(Escaped(Title()));
    html += Escaped(QCoreApplication::translate("ChannelPlan", "日期：%1").arg(info.date.toString(Qt::ISODate)));
    if (!info.fileName.isEmpty())
        html += QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;")
                + QStringLiteral("<span style=\"white-space: pre-wrap;\">%1</span>")
                      .arg(Escaped(QCoreApplication::translate("ChannelPlan", "文件：%1").arg(info.fileName)));
    html += QStringLiteral("</p>") + ChannelTable(config) + QStringLiteral("<p></p>");
    html += SettingsTable(config, info.withAlarm);
    return html + QStringLiteral("</body></html>");
}

void SetChannelPlanPage(QPagedPaintDevice &device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter));
}

QString ChannelPlanFontProblem(const TMainConfig &config, const ChannelPlanInfo &info)
{
    // The markup is ASCII: any Chinese character in it is text of the page.
    const QString html = ChannelPlanHtml(config, info);
    const bool chinese = std::any_of(html.cbegin(), html.cend(), [](QChar c) { return c.script() == QChar::Script_Han; });
    if (!chinese || !QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
        return {};
    // The font named is one without the Kangxi radicals (see PlanFont).
    return QStringLiteral("No installed font has Chinese characters; install one (on Debian or Ubuntu: apt install fonts-wqy-microhei).");
}

void PrintChannelPlan(QPagedPaintDevice &device, const TMainConfig &config, const ChannelPlanInfo &info)
{
    QTextDocument document;
    // Laid out in the device's own resolution, so the page breaks where the device's pages do.
    document.documentLayout()->setPaintDevice(&device);
    document.setDefaultFont(PlanFont());
    document.setDocumentMargin(0);
    const QSizeF page(device.width(), device.height());
    document.setPageSize(page);
    document.setHtml(ChannelPlanHtml(config, info));
    // Cells are not wrapped: a long text widens the table, and the whole page shrinks to fit it.
    const qreal wide = document.documentLayout()->documentSize().width();
    const qreal scale = wide > page.width() ? page.width() / wide : 1.0;
    const QSizeF laidOut = page / scale;
    document.setPageSize(laidOut);

    QPainter painter(&device);
    painter.scale(scale, scale);
    for (int p = 0; p < document.pageCount(); ++p) {
        if (p > 0)
            device.newPage();
        painter.save();
        painter.translate(0, -p * laidOut.height());
        document.drawContents(&painter, QRectF(QPointF(0, p * laidOut.height()), laidOut));
        painter.restore();
    }
}

bool WriteChannelPlanPdf(const QString &path, const TMainConfig &config, const ChannelPlanInfo &info, QString *error)
{
    if (const QString problem = ChannelPlanFontProblem(config, info); !problem.isEmpty()) {
        if (error)
            *error = QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(path), problem);
        return false;
    }
    QString reason;
    const bool written = ReplaceFileContents(
        path,
        [&](QIODevice &file) {
            QPdfWriter writer(&file);
            writer.setTitle(Title());
            writer.setCreator(Title());
            SetChannelPlanPage(writer);
            PrintChannelPlan(writer, config, info);
        },
        &reason);
    if (!written && error)
        *error = QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(path), reason);
    return written;
}
