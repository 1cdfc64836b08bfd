#pragma once

class Browser;
class Clock;
class FileSystem;
class MessageBoxes;
class ProcessLauncher;
class ProfileFile;
class ProgramFolder;
class SettingsStore;

// The operating-system services a window uses, handed in together so tests replace any of them.
struct Platform {
    ProgramFolder &programFolder;
    ProfileFile &profile;
    FileSystem &files;
    ProcessLauncher &launcher;
    Clock &clock;
    MessageBoxes &messages;
    Browser &browser;
    SettingsStore &settings;
};
