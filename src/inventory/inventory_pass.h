#pragma once
// The inventory pass: which files the update list shows. It reads the plugin sections (or
// scans the plugins directory, or reads a manually given list file), searches Total
// Commander's directory for add-ons and utilities, adds Quillon's own group and Total
// Commander's row, sorts the group file lists and hands every entry to identification, which
// makes the rows. It shows nothing: questions and errors go through the Prompter, and what a
// window should do afterwards comes back in the result.
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "app/job_control.h"
#include "inventory/executable_read_ahead.h"
#include "inventory/item_identification.h"

namespace quillon {

class CommandLine;
class Language;
class Prompter;
class System;
class TcLocator;
class UpdateList;
struct SettingValues;

struct InventoryContext {
    System& system;
    const TcLocator& locator;
    Prompter& prompter;
    const Language& language;
    // DetectionMode is set to 0 when the user gives up a missing manual list file, and an
    // empty ManualFilePath receives the configuration file.
    SettingValues& settings;
    const QStringList& exceptionList;
    const CommandLine& commandLine;
    UpdateList& list;
    IdentificationStores stores;
    QString programPath;        // Quillon's executable
    QString programDir;         // where a manual list file given without directory lives
    QString tcDir;              // without trailing "/"
    QString commandLineIniFile; // the "/i=" file when it exists, else empty
    // Updated by the pass: the wincmd.ini in use, Total Commander's executable and title.
    QString& tcIniFile;
    QString& tcExeFile;
    QString& tcWindowTitle;
};

struct InventoryPassResult {
    QString configFile;       // the wincmd.ini the pass used
    bool configFound = false; // false: no rows at all
    QString listFile;         // the file the plugin sections were read from
    bool manualList = false;  // listFile is a found manual list file
    QString pluginsDir;
    bool tcRow = false;
    // The front end shows the Configuration page; with focusManualFile the list file's edit box.
    bool showConfiguration = false;
    bool focusManualFile = false;
    // The caption of the automatic detection choice, naming the configuration file.
    QString autoDetectCaption;
    int progressMaximum = 0;
    // Texts of the error messages the pass showed (caption: text).
    QStringList errors;
    // The token was cancelled: the list is incomplete and its owner puts the old one back.
    bool cancelled = false;
};

class InventoryPass {
public:
    explicit InventoryPass(InventoryContext context) : m_c(std::move(context)) {}

    // Called after every identification (the row made, or -1); a front end advances its
    // progress here.
    void setStepCallback(ItemIdentifier::StepCallback callback) { m_step = std::move(callback); }
    // Looked at before every file is identified.
    void setCancelToken(const CancelToken& cancel) { m_cancel = cancel; }

    // Resets the group lists and the hidden list, adds the rows and takes the snapshot.
    InventoryPassResult run();

private:
    QString configurationPath() const;
    // The manual list file as named by the settings (".ini" added, program directory prepended).
    QString manualListPath() const;
    void reportTcNotFound();
    void collectPlugins(const QString& configFile);
    void collectAddons();
    void addTotalCommanderRow();
    void identifyEntries();
    // Hands the files the group lists hold now to the read-ahead.
    void queueForReading();
    QString text(const char* section, const char* key, const char* englishDefault) const;

    InventoryContext m_c;
    ItemIdentifier::StepCallback m_step;
    CancelToken m_cancel;
    InventoryPassResult m_result;
    // Total Commander's tree as the add-on search read it, for the text-file search after it.
    std::shared_ptr<const FileTreeListing> m_tcTree;
    // Reads each group's executables while the pass goes on; one per run.
    std::unique_ptr<ExecutableReadAhead> m_readAhead;
    bool m_tcErrorShown = false;
};

} // namespace quillon
