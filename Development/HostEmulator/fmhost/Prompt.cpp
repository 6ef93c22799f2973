#include "fmhost/Prompt.h"

#include "fmhost/Signals.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#ifdef FMHOST_LINE_EDITING
#include <histedit.h>
#include <pwd.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#endif

namespace fmhost
{
namespace
{
constexpr const char *kContinuationPrompt = "...> ";

// The prompt names where the next calculation runs; while a calculation goes on, it only says so.
std::string promptText(bool continuing, const std::function<std::string()> &location)
{
    return continuing ? kContinuationPrompt : location() + "> ";
}

// Runs what a line completed; false when an item asked to stop reading (the items after it do not run).
bool runItems(std::vector<ScriptItem> &items, const ItemRunner &run)
{
    bool goOn = true;
    for (std::size_t i = 0; i < items.size() && goOn; ++i)
        goOn = run(items[i]);
    items.clear();
    return goOn;
}

// Plain lines: a pipe or a file, or a terminal when fmhost is built without libedit.
void readLines(bool interactive, const ItemRunner &run, const std::function<std::string()> &location)
{
    cLineJoiner joiner(!interactive);
    std::vector<ScriptItem> items;
    std::string line;
    bool goOn = true;
    for (int number = 1; goOn && (!stopRequested() || (interactive && takeInterrupt())); ++number)
    {
        if (interactive)
            std::cout << promptText(joiner.pending(), location) << std::flush;
        if (!std::getline(std::cin, line))
        {
            // At a terminal Ctrl-C interrupts the read: the input so far is abandoned, the session goes on.
            if (interactive && takeInterrupt() && !stopRequested())
            {
                std::cin.clear();
                clearerr(stdin);
                joiner.abandon();
                std::cout << '\n';
                continue;
            }
            break;
        }
        joiner.add(line, number, items);
        goOn = runItems(items, run);
    }
    if (goOn && !stopRequested())
    {
        joiner.finish(items);
        runItems(items, run);
    }
    if (interactive)
        std::cout << std::endl;
}

#ifdef FMHOST_LINE_EDITING
std::string historyPath()
{
    const char *home = std::getenv("HOME");
    if (!home || !*home)
        if (const passwd *user = getpwuid(getuid()))
            home = user->pw_dir;
    return home && *home ? std::string(home) + "/.fmhost_history" : std::string();
}

// libedit's line editor and history, released in reverse order of creation.
class cLineEditor
{
public:
    explicit cLineEditor(std::function<std::string()> location) : path_(historyPath()), location_(std::move(location))
    {
        history_ = history_init();
        history(history_, &event_, H_SETSIZE, 1000);
        history(history_, &event_, H_SETUNIQUE, 1);
        if (!path_.empty())
            history(history_, &event_, H_LOAD, path_.c_str());
        editor_ = el_init("fmhost", stdin, stdout, stderr);
        el_set(editor_, EL_EDITOR, "emacs");
        el_set(editor_, EL_HIST, history, history_);
        // libedit restores the terminal on signals, then passes them on to fmhost's own handlers.
        el_set(editor_, EL_SIGNAL, 1);
        el_set(editor_, EL_CLIENTDATA, this);
        el_set(editor_, EL_PROMPT, &cLineEditor::prompt);
        el_source(editor_, nullptr); // ~/.editrc, as other libedit programs read it
    }
    ~cLineEditor()
    {
        el_end(editor_);
        history_end(history_);
    }
    cLineEditor(const cLineEditor &) = delete;
    cLineEditor &operator=(const cLineEditor &) = delete;

    // One line without its line end; false at the end of the input or when a signal interrupted the read.
    bool read(bool continuing, std::string &line)
    {
        prompt_ = promptText(continuing, location_);
        int count = 0;
        const char *text = el_gets(editor_, &count);
        if (!text || count <= 0)
            return false;
        line.assign(text, static_cast<std::size_t>(count));
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        return true;
    }

    // Keeps an entry, saved at once so that a session that ends badly keeps it too.
    void remember(const std::string &entry)
    {
        if (entry.find_first_not_of(" \t") == std::string::npos)
            return;
        history(history_, &event_, H_ENTER, entry.c_str());
        if (!path_.empty() && history(history_, &event_, H_SAVE, path_.c_str()) < 0 && !saveFailed_)
        {
            saveFailed_ = true;
            std::cerr << "fmhost: cannot save the history in " << path_ << std::endl;
        }
    }

private:
    static char *prompt(EditLine *editor)
    {
        void *self = nullptr;
        el_get(editor, EL_CLIENTDATA, &self);
        return const_cast<char *>(static_cast<cLineEditor *>(self)->prompt_.c_str());
    }

    std::string path_;
    std::function<std::string()> location_;
    std::string prompt_;
    History *history_ = nullptr;
    HistEvent event_{};
    EditLine *editor_ = nullptr;
    bool saveFailed_ = false;
};

void editLines(const ItemRunner &run, const std::function<std::string()> &location)
{
    // Characters beyond ASCII (¶, ≠) are edited as characters, not bytes.
    std::setlocale(LC_CTYPE, "");
    cLineEditor editor(location);
    cLineJoiner joiner(false);
    std::vector<ScriptItem> items;
    std::string line, typed;
    for (int number = 1;; ++number)
    {
        takeInterrupt(); // a Ctrl-C pressed while a calculation ran has done its work
        if (!editor.read(joiner.pending(), line))
        {
            if (takeInterrupt() && !stopRequested())
            {
                joiner.abandon();
                typed.clear();
                std::cout << std::endl;
                continue;
            }
            break;
        }
        typed += (typed.empty() ? "" : "\n") + line;
        joiner.add(line, number, items);
        if (joiner.pending())
            continue;
        editor.remember(calculationOnOneLine(typed));
        typed.clear();
        if (!runItems(items, run))
            break;
    }
    std::cout << std::endl;
}
#endif
} // namespace

bool readStandardInput(const ItemRunner &run, const std::function<std::string()> &location)
{
    bool interactive = isatty(STDIN_FILENO) != 0;
#ifdef FMHOST_LINE_EDITING
    if (interactive)
    {
        editLines(run, location);
        return true;
    }
#endif
    readLines(interactive, run, location);
    return interactive;
}
} // namespace fmhost
