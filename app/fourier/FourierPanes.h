// The two panes of the Fourier-transform dialog: the spectrum as a grey picture with the
// filter's outline, and the work image as a lit surface seen from above. Both let the mouse
// through to the dialog, which handles drags on the spectrum pane.
#pragma once

#include <QImage>
#include <QWidget>

#include "app/render/GLSurfaceWidget.h"
#include "fourier/FourierDialogModel.h"

class CSpectrumPane : public QWidget {
public:
    explicit CSpectrumPane(QWidget* parent);

    // A new grey picture of the image (kept as the memory picture) and its outline.
    void ShowImage(const CSpmImage& image, const FilterOutline& outline);
    // Another outline over the kept picture.
    void ShowOutline(const FilterOutline& outline);
    const QImage& Picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
    FilterOutline m_outline;
};

class CSurfacePane : public CGLSurfaceWidget {
public:
    CSurfacePane(const CFourierDialogModel& model, QWidget* parent);

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    const CFourierDialogModel& m_model;
};
