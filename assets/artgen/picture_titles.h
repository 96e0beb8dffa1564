#pragma once
// The titles drawn into the per-language pictures (window headers, the menu's caption), one
// row per picture stem, in the picture languages' order (assets::kPictureLanguages). The
// Chinese titles are written in the script of the Chinese words tables (Traditional), and
// say what the Chinese words say for the same thing where the tables have it.
#include <array>
#include <map>
#include <string>

namespace trilane::artgen {

inline const std::map<std::string, std::array<const char*, 8>> kPictureTitles = {
    {"Options",
     {"Options", "Настройки", "Optionen", "Options", "Opciones", "設定", "Opzioni", "Možnosti"}},
    {"Speed",
     {"Speed", "Скорость", "Tempo", "Vitesse", "Velocidad", "速度", "Velocità", "Rychlost"}},
    {"Passport",
     {"Passport", "Паспорт", "Pass", "Passeport", "Pasaporte", "護照", "Passaporto", "Pas"}},
    {"EndGame",
     {"Game over", "Конец игры", "Spielende", "Fin de partie", "Fin del juego", "對局結束",
      "Fine partita", "Konec hry"}},
    {"History",
     {"History of games", "История игр", "Spielverlauf", "Historique", "Historial", "對局歷史",
      "Cronologia", "Historie her"}},
    {"QorGamesChat",
     {"Qor Games Chat", "Чат Qor Games", "Qor Games Chat", "Chat Qor Games", "Chat Qor Games",
      "Qor 遊戲聊天室", "Chat Qor Games", "Chat Qor Games"}},
    {"MyAccount",
     {"My account", "Мой аккаунт", "Mein Konto", "Mon compte", "Mi cuenta", "我的帳號",
      "Il mio account", "Můj účet"}},
    {"OurGames",
     {"Our games", "Наши игры", "Unsere Spiele", "Nos jeux", "Nuestros juegos", "我們的遊戲",
      "I nostri giochi", "Naše hry"}},
    {"SupportUs",
     {"Support us", "Поддержите нас", "Unterstützt uns", "Soutenez-nous", "Apóyanos", "支持我們",
      "Sostienici", "Podpořte nás"}},
    {"Elite",
     {"Elite club", "Элитный клуб", "Elite-Klub", "Club d'élite", "Club de élite", "精英俱樂部",
      "Club élite", "Elitní klub"}},
    {"Net",
     {"Network game", "Сетевая игра", "Netzwerkspiel", "Partie en réseau", "Juego en red",
      "網路對局", "Gioco in rete", "Síťová hra"}},
    {"Cap",
     {"Thirteen-card poker", "Покер на тринадцати картах", "Dreizehn-Karten-Poker",
      "Poker à treize cartes", "Póquer de trece cartas", "十三張", "Poker a tredici carte",
      "Poker o třinácti kartách"}},
};

}  // namespace trilane::artgen
