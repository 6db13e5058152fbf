#pragma once
// What the tests of the real main window share: the settings file in a directory of the
// test's own, message boxes captured, no injected faults, and the window shown, active
// and driven with real events.
#include "Main.h"
#include "TestSeams.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

struct Box {
    QString caption;
    QString text;
};

class TWindowFixture {
protected:
    // The seams every window test starts from; a test sets others with guards of its own.
    struct TSeams {
        TSeams(const QString &dir, MessageBoxHook hook) : settings(dir), boxes(std::move(hook)) {}
        TestSeams::SettingsDirectory settings;
        TestSeams::MessageBoxes boxes;
        TestSeams::ClipboardOpenFailure clipboard{std::nullopt};
        TestSeams::FileSystemFault fault{FileSystem::Fault::None};
    };

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TSeams> m_seams;
    std::unique_ptr<TfmKanavox> m_form;
    QList<Box> m_boxes;

    QString IniPath() const { return m_dir->filePath(QStringLiteral("Kanavox.ini")); }

    // For init(): false when the test's directory could not be made.
    bool SetUpWindow()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        if (!m_dir->isValid())
            return false;
        m_boxes.clear();
        m_seams = std::make_unique<TSeams>(
            m_dir->path(), [this](const QString &caption, const QString &text) { m_boxes.append({caption, text}); });
        QGuiApplication::clipboard()->clear();
        return true;
    }

    // For cleanup(): the window goes without writing the test's directory again.
    void TearDownWindow()
    {
        if (m_form) {
            m_form->hide();
            m_form.reset();
        }
        m_seams.reset();
        m_dir.reset();
    }

    TfmKanavox *Open()
    {
        m_form = std::make_unique<TfmKanavox>();
        m_form->show();
        m_form->activateWindow();
        if (!QTest::qWaitForWindowActive(m_form.get()))
            qWarning("window not active");
        m_form->edtPass->setFocus();
        return m_form.get();
    }

    QString Reading() const { return m_form->lblEGkekka->Caption(); }
    QString Status() const { return m_form->lblCopyKekka->Caption(); }

    static void ClickBox(TAdvOfficeCheckBox *box)
    {
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(5, 10));
    }

    static void ClickButton(TAdvGlassButton *button)
    {
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(button->width() / 2, button->height() / 2));
    }
};
