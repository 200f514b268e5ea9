// The Qt headers nearly every file of the GUI layers includes, precompiled once per target.
#pragma once

#include <QApplication>
#include <QColor>
#include <QCursor>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QString>
#include <QWidget>
