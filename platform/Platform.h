// The platform services that the setup's portable logic works through. WinMain fills it with the
// Win32 adapters; tests fill it with doubles.
#pragma once

class FileSystem;
class FileVersions;
class Fonts;
class FolderBrowser;
class MessageBoxes;
class ProfileStore;
class ProgressBar;
class Registry;
class ResourceStore;
class Shell;
class ShellLinks;
class System;

struct Platform {
    System* system = nullptr;
    MessageBoxes* messages = nullptr;
    ProfileStore* profile = nullptr;
    ResourceStore* resources = nullptr;
    FileSystem* files = nullptr;
    ProgressBar* progress = nullptr;
    Registry* registry = nullptr;
    Shell* shell = nullptr;
    ShellLinks* links = nullptr;
    FolderBrowser* browser = nullptr;
    Fonts* fonts = nullptr;
    FileVersions* versions = nullptr;
};
