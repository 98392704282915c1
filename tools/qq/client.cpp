// The running stand-in client.
#include "tools/qq/client.h"

#include "tools/qq/protocol.h"

#include <algorithm>

namespace qq {

namespace {

// Exit codes of a client that could not start.
constexpr int kExitLedgerFailed = 3;
constexpr int kExitWindowFailed = 4;

// Longest URI taken from the protocol handler, in characters.
constexpr DWORD kMaxUriChars = 4096;

// Cards cascade from this point of the work area...
constexpr int kCardOrigin = 40;
// ...moving this far per card...
constexpr int kCardStep = 30;
// ...and start over after this many.
constexpr unsigned kCardCascadeLength = 8;

}  // namespace

Client::Client(const Options& options) : m_options(options), m_panel(m_ledger) {}

Client::~Client() {
  CloseAllCards();
}

int Client::Run() {
  if (!m_options.ledgerPath.empty() && !m_ledger.Open(m_options.ledgerPath)) {
    return kExitLedgerFailed;
  }
  // Registered first, the lower-case spelling is the one the class keeps.
  if ((m_options.lowerCaseClass && !RegisterWindowClass(kLowerCaseClassName)) ||
      !RegisterWindowClass(kWindowClassName) || !RegisterWindowClass(kListenerClassName) ||
      !Create(kListenerClassName, 0, 0, L"", POINT{}, SIZE{}, HWND_MESSAGE) || !m_panel.Open() ||
      !OpenOddWindows()) {
    return kExitWindowFailed;
  }
  // Written once URIs are taken, so whoever waits for it can send them.
  m_ledger.Write(FormatStart(::GetCurrentProcessId()));

  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  CloseAllCards();
  return static_cast<int>(message.wParam);
}

LRESULT Client::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COPYDATA: {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (data == nullptr || data->dwData != kCopyDataOpenUri || data->cbData % sizeof(wchar_t) != 0 ||
          data->cbData > kMaxUriChars * sizeof(wchar_t)) {
        return FALSE;
      }
      OnUri(std::wstring(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t)));
      return TRUE;
    }
    case WM_TIMER:
      OnCardTimer(wParam);
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

void Client::OnUri(const std::wstring& uri) {
  auto uin = ParseContactCardUri(uri);
  if (!uin) {
    m_ledger.Write(FormatReject(uri));
    return;
  }
  const UINT_PTR timerId = m_nextTimerId++;
  if (::SetTimer(Handle(), timerId, m_options.cardDelayMs, nullptr) == 0) {
    return;
  }
  m_pendingCards.emplace(timerId, std::move(*uin));
}

void Client::OnCardTimer(UINT_PTR timerId) {
  ::KillTimer(Handle(), timerId);
  const auto pending = m_pendingCards.find(timerId);
  if (pending == m_pendingCards.end()) {
    return;
  }
  const std::string uin = std::move(pending->second);
  m_pendingCards.erase(pending);

  std::erase_if(m_cards, [](const auto& card) { return card->Handle() == nullptr; });
  auto card = std::make_unique<CardWindow>(uin, m_ledger, m_options.likesLimit, m_options.ignoreClose);
  if (card->Open(NextCardPosition())) {
    m_cards.push_back(std::move(card));
  }
}

bool Client::OpenOddWindows() {
  for (const OddWindow& odd : m_options.oddWindows) {
    auto window = std::make_unique<CardWindow>(odd.name, m_ledger, m_options.likesLimit, m_options.ignoreClose);
    if (!window->Open(NextCardPosition(), &odd)) {
      return false;
    }
    m_cards.push_back(std::move(window));
  }
  return true;
}

POINT Client::NextCardPosition() {
  RECT workArea{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  const int offset = kCardOrigin + kCardStep * static_cast<int>(m_cardsShown++ % kCardCascadeLength);
  return POINT{workArea.left + offset, workArea.top + offset};
}

void Client::CloseAllCards() {
  for (const auto& card : m_cards) {
    if (card->Handle() != nullptr) {
      ::DestroyWindow(card->Handle());
    }
  }
  m_cards.clear();
}

}  // namespace qq
