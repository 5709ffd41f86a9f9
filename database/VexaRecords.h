#pragma once
// The four records of a receiver channel list. Field names and units follow
// the receiver's own tables: frequencies and LNB oscillators in MHz, symbol
// rates in ksym/s, orbital positions in tenths of a degree.
//
// "Boolean" fields are bytes: 0 is false, anything else true; everything in
// this folder stores 0 or 1. A freshly created record (New of its list) has
// every field zero or empty and its references on the default records.
//
// Records live in their lists as shared objects so that references (TRef) can
// tell a live record from a deleted one; copy a record's fields with plain
// assignment (`*dst = *src`), which leaves the ownership untouched.
#include <array>
#include <cstdint>
#include <memory>

#include "database/ShortString.h"
#include "database/TRef.h"

struct TSateliteRec : std::enable_shared_from_this<TSateliteRec> {
    std::uint16_t LnbLow = 0;    // low-band local oscillator, MHz
    std::uint16_t LnbHigh = 0;   // high-band local oscillator, MHz
    std::uint16_t Angle = 0;     // orbital position, tenths of a degree
    char EastWest = 0;           // 'e' or 'w'
    ShortString<17> Name;
    std::uint8_t Diseqc12 = 0;   // a DiSEqC 1.2 positioner drives the dish
    std::int32_t AntennaOffset = 0;
    std::uint8_t LnbType = 0;    // 1 universal, 0 normal
};

struct TTransponderRec : std::enable_shared_from_this<TTransponderRec> {
    TRef<TSateliteRec> Satelite;
    std::uint16_t Frequency = 0; // MHz
    std::uint16_t Symbol = 0;    // ksym/s
    char Polar = 0;              // 'h' or 'v'
    ShortString<2> Volt1418;     // "14" or "18"
    ShortString<2> Tone22K;      // "0" or "22"
    ShortString<2> Volt012;      // "0" or "12"
    ShortString<4> Fec;          // "1/2", "2/3", "3/4", "5/6", "7/8" or "auto"
};

struct TAntenaRec : std::enable_shared_from_this<TAntenaRec> {
    TRef<TSateliteRec> Satelite;
    std::uint16_t LnbLow = 0;
    std::uint16_t LnbHigh = 0;
    std::uint8_t Universal = 0;
    char Diseqc = 0;             // 'n', 'a', 'b', 'c' or 'd'
    ShortString<2> Volt012;      // "n", "0" or "12"
    ShortString<2> Tone22K;      // "n", "0" or "22"
    char AntennaType = 0;        // 'f' fixed, 'd' DiSEqC, 'a' actuator
    ShortString<2> Volt1418;     // "n", "14" or "18"
};

struct TChannelRec : std::enable_shared_from_this<TChannelRec> {
    TRef<TSateliteRec> Satelite;
    TRef<TTransponderRec> Transponder;
    TRef<TAntenaRec> Antena;
    ShortString<16> Name;
    std::uint16_t ServiceId = 0;
    std::uint16_t VideoPid = 0;
    std::uint16_t AudioPid = 0;
    std::uint16_t PcrPid = 0;
    std::uint16_t TxtPid = 0;
    std::uint8_t Scramble = 0;
    std::uint8_t Favorite = 0;   // the receiver's favourite mark
    std::uint8_t Lock = 0;       // parental lock
    std::array<std::uint8_t, 8> Favorites{}; // favourites lists 1 to 8
    std::uint8_t Radio = 0;      // 0: TV
};
