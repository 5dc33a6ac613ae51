// Message boxes under test: a watcher thread finds every message box this
// process opens, records its text and caption, and presses its default
// button, so a test driving a window on its own thread never hangs in the
// box's modal loop.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "enum_windows.h"

namespace window_test {

struct SeenMessageBox {
    std::wstring text;
    std::wstring caption;
};

class MessageBoxWatch {
public:
    // answer: the command sent to each box (IDOK, IDYES, IDNO ...).
    explicit MessageBoxWatch(int answer = IDOK) : m_answer(answer), m_thread([this] { Run(); }) {}
    ~MessageBoxWatch() {
        m_stop = true;
        m_thread.join();
    }
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

    void SetAnswer(int answer) { m_answer = answer; }

    std::vector<SeenMessageBox> Seen() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_seen;
    }
    size_t Count() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_seen.size();
    }

private:
    // A message box: a dialog whose static text has the id 0xFFFF.
    static bool is_message_box(HWND hwnd) {
        wchar_t cls[16] = {};
        GetClassNameW(hwnd, cls, 16);
        return lstrcmpW(cls, L"#32770") == 0 && GetDlgItem(hwnd, 0xFFFF) != nullptr && IsWindowVisible(hwnd);
    }

    void Run() {
        const DWORD pid = GetCurrentProcessId();
        while (!m_stop) {
            std::vector<HWND> boxes;
            for_each_top_window([&boxes, pid](HWND hwnd) {
                DWORD owner = 0;
                GetWindowThreadProcessId(hwnd, &owner);
                if (owner == pid && is_message_box(hwnd)) boxes.push_back(hwnd);
                return true;
            });
            for (HWND box : boxes) {
                if (std::find(m_answered.begin(), m_answered.end(), box) != m_answered.end() &&
                    IsWindow(box))
                    continue;
                wchar_t text[512] = {}, caption[256] = {};
                GetDlgItemTextW(box, 0xFFFF, text, 512);
                GetWindowTextW(box, caption, 256);
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_seen.push_back({text, caption});
                }
                m_answered.push_back(box);
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(m_answer.load(), BN_CLICKED), 0);
            }
            // Forget handles that are gone: a new box may reuse one.
            m_answered.erase(std::remove_if(m_answered.begin(), m_answered.end(),
                                            [](HWND h) { return !IsWindow(h); }),
                             m_answered.end());
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
    }

    std::atomic<int> m_answer;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<SeenMessageBox> m_seen;
    std::vector<HWND> m_answered;  // watcher thread only
    std::thread m_thread;
};

}  // namespace window_test
