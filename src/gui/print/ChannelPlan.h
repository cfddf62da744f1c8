#pragma once

#include <QDate>
#include <QString>

class QPagedPaintDevice;
class TMainConfig;

// The channel plan as a printed page: the program's title, the date, the file name when there
// is one, the channels in use under the 15 column captions, and the settings with their labels.
struct ChannelPlanInfo {
    QString fileName;        // shown when not empty
    QDate date;
    bool withAlarm = true;   // a configuration file does not hold the alarm setting
};

// The page as HTML, for a QTextDocument.
QString ChannelPlanHtml(const TMainConfig &config, const ChannelPlanInfo &info);

// A4 landscape with narrow margins, the page the plan is laid out for.
void SetChannelPlanPage(QPagedPaintDevice &device);

// Why the plan cannot be drawn readably: its Chinese text needs a font that has Chinese
// characters, and none is installed (empty boxes would stand in for them). Empty when it can.
QString ChannelPlanFontProblem(const TMainConfig &config, const ChannelPlanInfo &info);

// Paints the plan on the device's page, on as many pages as it takes, scaled down when its
// widest row is wider than the page. Needs a QGuiApplication (fonts), but no display.
void PrintChannelPlan(QPagedPaintDevice &device, const TMainConfig &config, const ChannelPlanInfo &info);

// The same into a PDF file, the Chinese text embedded. False with *error set when the file
// cannot be written or its text not drawn.
bool WriteChannelPlanPdf(const QString &path, const TMainConfig &config, const ChannelPlanInfo &info, QString *error);
