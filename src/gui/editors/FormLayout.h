#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Where a control or grid of an editor window sits. An empty page means below the page
// control; an empty group means directly on the page.
struct TPlacement {
    QString name;  // object name of the control or grid
    QString page;
    QString group;            // caption of the group box around it
    bool readOnly = false;    // shown, filled by a read, never typed into
};

// The static part of an editor window: everything but the current texts.
struct TFormLayout {
    // Every editor window shares its caption and button texts.
    QString caption = QStringLiteral(QT_TRANSLATE_NOOP("Texts", "对讲机写频软件"));
    int width = 0;
    int height = 0;
    QStringList pages;    // captions, in order
    int initialPage = 0;  // the page shown when the window first opens
    QString readCaption = QStringLiteral(QT_TRANSLATE_NOOP("Texts", "读取"));    // rbtn
    QString writeCaption = QStringLiteral(QT_TRANSLATE_NOOP("Texts", "写入"));   // wbtn
    QString closeCaption = QStringLiteral(QT_TRANSLATE_NOOP("Texts", "关闭"));   // Button3
    std::vector<TPlacement> placements;

    const TPlacement *Placement(const QString &name) const
    {
        for (const TPlacement &p : placements) {
            if (p.name == name)
                return &p;
        }
        return nullptr;
    }
};

// The static parts of the four editor windows.
const TFormLayout &DtmfLayout();
const TFormLayout &TwoToneLayout();
const TFormLayout &FiveToneLayout();
const TFormLayout &FskLayout();
