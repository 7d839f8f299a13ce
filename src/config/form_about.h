// The about box, caption "About JX_Monitor": a picture, the version and OK.
// Created hidden at start.
#pragma once

#include "platform/widgets.h"

class QPixmap;
class QPushButton;

class TForm_About : public Form {
    Q_OBJECT
public:
    TForm_About();

    static constexpr int kPictureWidth = 150;
    static constexpr int kPictureHeight = 61;

    void Button_OKClick();

private:
    QLabel* Image_Logo = nullptr;
    Label* Label_Version = nullptr;
    QPushButton* Button_OK = nullptr;
};

// The picture at the top of the about box, drawn by the program.
QPixmap DrawAboutPicture();

extern TForm_About* Form_About;
