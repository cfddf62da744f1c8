#pragma once

#include "protocol/RadioImage.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The image with bytes of one area replaced: "0:10=BC0A0000 0:19=03" puts BC 0A 00 00 at
// offset 10 and 03 at offset 19 of block 0.
TRadioImage WithChanges(TRadioImage image, int area, const QString &changes);

// The blocks in which two images differ, both versions in hex; empty when they are equal.
QString Differences(const TRadioImage &actual, const TRadioImage &expected);

// Byte positions where two images differ, as "area/block/offset".
QStringList ChangedBytes(const TRadioImage &before, const TRadioImage &after);

// The bytes on the wire cut into frames: 4-byte read requests, 34-byte blocks with their check
// value; anything else one byte each.
QList<QByteArray> WireFrames(const QByteArray &written);

// The frames of one transfer in order, a resent frame counted once.
QList<QByteArray> WithoutRepeats(const QList<QByteArray> &frames);

// The bytes on the wire cut into 4-byte read requests of the area: their block numbers, -1 for
// four bytes that are no such request or for bytes left over.
QList<int> RequestedBlocks(const QByteArray &written, int area);
