#pragma once

#include <QDateTime>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lv::calc {

// A table with explicit index ranges, re-created whole for every run: Matrix(n0, n1) has
// positions 0..n0-1 by 0..n1-1, all zero at the start.
template <class T>
class Matrix
{
public:
    Matrix() = default;
    Matrix(std::size_t n0, std::size_t n1) : m_n1(n1), m_data(n0 * n1) {}
    T &operator()(std::size_t i0, std::size_t i1) { return m_data[i0 * m_n1 + i1]; }
    const T &operator()(std::size_t i0, std::size_t i1) const { return m_data[i0 * m_n1 + i1]; }

private:
    std::size_t m_n1 = 0;
    std::vector<T> m_data;
};

// A table whose last index is the segment position, stored position by position: every step of
// the calculation walks the segments in order and reads or writes all values of one segment.
template <class T>
class PerSegmentMatrix
{
public:
    PerSegmentMatrix() = default;
    PerSegmentMatrix(std::size_t n0, std::size_t positions) : m_n0(n0), m_data(n0 * positions) {}
    T &operator()(std::size_t i0, std::size_t position) { return m_data[position * m_n0 + i0]; }
    const T &operator()(std::size_t i0, std::size_t position) const
    {
        return m_data[position * m_n0 + i0];
    }

private:
    std::size_t m_n0 = 0;
    std::vector<T> m_data;
};

// A table of two indexes per segment position, each index over a range first..last (the
// workbooks' numbering), stored position by position without the unused low indexes: the
// factor tables of a maximum tunnel are read and written once per run, and every byte of them
// is memory the run has to fault in.
template <class T>
class PerSegmentCube
{
public:
    struct Range
    {
        std::size_t first = 0;
        std::size_t last = 0;
        std::size_t size() const { return last - first + 1; }
    };

    PerSegmentCube() = default;
    PerSegmentCube(Range r0, Range r1, std::size_t positions)
        : m_first(r0.first * r1.size() + r1.first), m_n1(r1.size()),
          m_stride(r0.size() * r1.size()), m_data(m_stride * positions)
    {}
    T &operator()(std::size_t i0, std::size_t i1, std::size_t position)
    {
        return m_data[position * m_stride + i0 * m_n1 + i1 - m_first];
    }
    const T &operator()(std::size_t i0, std::size_t i1, std::size_t position) const
    {
        return m_data[position * m_stride + i0 * m_n1 + i1 - m_first];
    }

private:
    std::size_t m_first = 0; // offset of (first0, first1) within a position's block
    std::size_t m_n1 = 0;
    std::size_t m_stride = 0;
    std::vector<T> m_data;
};

// Vehicle class (flows, class factors): 1 Pb, 2 Lb, 3 Lbs.
// Vehicle category (speeds, profile factors): 1 and 2 the two passenger-car tables, 3 truck,
// 4 truck with trailer.
// Profile quantity 4..8: fuel, NOx, exhaust particles, tyre particles, brake particles.
// Quantity index 1..11: fuel (l), NOx, exhaust, tyre, brake, road-surface particles (g),
// CO2 (kg), then the PM10 parts of exhaust, tyre, brake and road-surface particles (g).
using ResultValues = std::array<float, 12>; // index 1..11; 0 unused

// A workbook a run read: its file, when it was last changed, and whether it is one of the
// shipped demonstration workbooks (they say so in a cell of their first sheet).
struct UsedWorkbook
{
    QString path;
    QDateTime modified;
    bool demonstration = false;
};

// Everything a calculation run leaves behind. Segment positions run 0..n, one more than there
// are segments; the spare position n stays zero. Index 0 of classes, categories and quantities
// is unused, so the tables read with the same numbers as the workbooks.
struct RunState
{
    int32_t segmentCount = 0;
    float spsValue = 0;     // g per vehicle-km at 75 km/h
    float studdedShare = 0; // share of passenger cars with studded tyres, 0..1
    int16_t yearIndex = 0;  // 1 = 2005, 2 = 2010, 3 = 2020

    std::vector<float> segmentLength;      // m, positions 0..n
    std::vector<int16_t> segmentSlope;     // whole percent, positions 0..n
    Matrix<float> segmentSpeed;            // km/h, (position 0..n, category 0..4)
    Matrix<float> segmentFlow;             // vehicles/h, (position 0..n, class 0..3)
    PerSegmentCube<float> profileFactors;  // (category 1..4, profile quantity 4..8, position 0..n)
    PerSegmentCube<double> classFactors;   // (class 1..3, profile quantity 4..8, position 0..n)
    PerSegmentMatrix<double> segmentRates; // per km of segment, (quantity 0..11, position 0..n)
    ResultValues tunnelMeanRates{};        // the tunnel's length-weighted mean rates per km
    int32_t offGridSlopes = 0;             // segments whose slope lies outside the tables' -7..7 %
    std::vector<UsedWorkbook> workbooks;   // pb, lb and factor workbook, in that order

    // Sizes every table for n segments, all zero.
    void recreate(int32_t n);
    // Frees the profile and class factors, which only the run's own steps read: a run kept
    // for its results then holds its inputs and segment rates alone.
    void releaseFactorTables();
};

} // namespace lv::calc
