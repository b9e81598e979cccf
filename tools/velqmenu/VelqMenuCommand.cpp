#include "VelqMenuCommand.h"

#include "MenuJson.h"
#include "MenuStore.h"
#include "ToolFiles.h"
#include "XNode.h"

namespace fs = std::filesystem;

namespace {

bool IsWord(const fs::path& arg, const char* word)
{
    return arg.native() == fs::path(word).native();
}

// Errors are one line whatever a file name or a JSON key holds.
std::string OneLine(std::string text)
{
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    return text;
}

CCommandResult Usage()
{
    CCommandResult r;
    r.exitCode = kExitUsage;
    r.err = UsageText();
    return r;
}

// The report is one line on standard output.
std::string Salvage(const fs::path& damaged, const fs::path& target)
{
    std::vector<uint8_t> bytes = ReadFileBytes(damaged);
    CXRoot root(L"salvaged");
    const XSalvage found = SalvageTreeArchive(root, bytes);
    if (found.entries == 0 && !found.whole)
        throw CMenuToolError(PathForMessage(damaged) + ": no menu entry can be read");
    std::optional<std::vector<uint8_t>> archive = WriteTreeArchive(root);
    if (!archive)
        throw CMenuToolError("cannot write the salvaged menu");
    ReplaceFileWith(target, *archive);
    if (found.whole)
        return "the archive is not damaged: " + std::to_string(found.entries) + " entries written as they are\n";
    return std::to_string(found.entries) + " entries salvaged (" + std::to_string(found.foundAgain) +
           " found again after the damage at byte " + std::to_string(found.damagedAt) + ")\n";
}

} // namespace

std::string UsageText()
{
    return "usage: velqmenu dump ARCHIVE\n"
           "       velqmenu pack JSON ARCHIVE\n"
           "       velqmenu salvage DAMAGED ARCHIVE\n"
           "\n"
           "  dump  print the menu tree stored in the archive file ARCHIVE as JSON (UTF-8)\n"
           "        on standard output\n"
           "  pack  write the menu tree described by the JSON file to ARCHIVE; the file is\n"
           "        replaced only once the whole archive has been written\n"
           "  salvage  read every menu entry that can be read from the damaged archive file\n"
           "        DAMAGED and write them to ARCHIVE as a loadable archive: the entries before\n"
           "        the damage in their places, those found again after it at the top level.\n"
           "        The launcher keeps the bytes of a stored menu it cannot read in the value\n"
           "        \"MenuData_1_corrupt\" (left menu) or \"MenuData_2_corrupt\" (right menu)\n"
           "        beside the menu's own value\n"
           "\n"
           "The JSON root is an object with \"title\", \"accelerator\" and \"children\". Each child\n"
           "has a \"class\" (CXItem, CXTextItem, CXSeparator or CXParent) and the fields of\n"
           "that class: \"title\", \"accelerator\", \"path\", \"parameters\", \"workingFolder\",\n"
           "\"reservedFlag\", \"showCommand\", \"expandEnvironment\", \"isInternal\", \"hotKey\"\n"
           "{\"modifiers\", \"virtualKey\", \"keyText\", \"hotKeyId\"}, \"summary\" and \"text\"\n"
           "(CXTextItem), \"children\" (CXParent). dump writes every key; pack gives missing\n"
           "keys the values of a new node and refuses unknown keys. A bare node of the base\n"
           "class, which no program writes but an archive may name, is {\"class\": \"CXNode\"}.\n"
           "\n"
           "Menu texts are UTF-16. A string holding an unpaired surrogate has no UTF-8 form:\n"
           "dump writes it as {\"utf16\": [code units]} instead of a JSON string, and pack\n"
           "accepts that form for every string, so that nothing is lost. pack after dump\n"
           "reproduces any archive the programs write byte for byte (archives of earlier\n"
           "versions come back in the current form).\n"
           "\n"
           "Exit status: 0 done, 1 error (one line on standard error), 2 usage error.\n";
}

CCommandResult RunVelqMenu(const std::vector<fs::path>& args)
{
    if (args.size() == 1 && (IsWord(args[0], "--help") || IsWord(args[0], "-h") || IsWord(args[0], "help")))
        return {kExitOk, UsageText(), {}};
    if (args.empty())
        return Usage();

    CCommandResult result;
    try {
        if (IsWord(args[0], "dump") && args.size() == 2) {
            std::vector<uint8_t> archive = ReadFileBytes(args[1]);
            try {
                result.out = DumpArchive(archive);
            } catch (const CMenuToolError& e) {
                throw CMenuToolError(PathForMessage(args[1]) + ": " + e.what());
            }
        } else if (IsWord(args[0], "pack") && args.size() == 3) {
            std::vector<uint8_t> text = ReadFileBytes(args[1]);
            std::vector<uint8_t> archive;
            try {
                archive = PackJson(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
            } catch (const CMenuToolError& e) {
                throw CMenuToolError(PathForMessage(args[1]) + ": " + e.what());
            }
            ReplaceFileWith(args[2], archive);
        } else if (IsWord(args[0], "salvage") && args.size() == 3) {
            result.out = Salvage(args[1], args[2]);
        } else {
            return Usage();
        }
    } catch (const CMenuToolError& e) {
        result = {};
        result.exitCode = kExitError;
        result.err = OneLine(std::string("velqmenu: ") + e.what()) + "\n";
    } catch (const std::bad_alloc&) {
        result = {};
        result.exitCode = kExitError;
        result.err = "velqmenu: out of memory\n";
    }
    return result;
}
