// Playlists: named lists of music pieces from which the music update picks the next piece at
// random (never the piece that just ended when there is a choice), and TRandomizer, the
// weighted random picker behind that choice.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

template <typename T> class TRandomizer
{
public:
    void AddValue(const T& fp_Value, int32_t fp_iWeight)
    {
        m_Values.push_back(fp_Value);
        m_Weights.push_back(fp_iWeight);
        ++m_iCount;
    }

    // A value chosen with probability weight / total, from the process-wide generator (rand).
    // Throws plain text when nothing was added or the weights leave no value to choose.
    T GetRandomValue() const
    {
        if (m_iCount == 0)
            throw "No values were thrown in randomizer!";
        if (m_iCount == 1)
            return m_Values[0];
        int64_t tmp_iTotal = 0;
        for (int32_t tmp_iWeight : m_Weights)
            tmp_iTotal += tmp_iWeight;
        if (tmp_iTotal > 0)
        {
            const int64_t tmp_iRandom = static_cast<int64_t>(std::rand()) % tmp_iTotal;
            int64_t tmp_iLower = 0;
            for (int32_t i = 0; i < m_iCount; ++i)
            {
                const int64_t tmp_iUpper = tmp_iLower + m_Weights[static_cast<size_t>(i)];
                if (tmp_iLower <= tmp_iRandom && tmp_iRandom < tmp_iUpper)
                    return m_Values[static_cast<size_t>(i)];
                tmp_iLower = tmp_iUpper;
            }
        }
        throw "Error in TRandomizer::GetRandomValue!";
    }

    int32_t GetCount() const { return m_iCount; }

private:
    std::vector<T> m_Values;
    std::vector<int32_t> m_Weights;
    int32_t m_iCount = 0;
};

// One playlist: music iIDs in document order (may be empty).
class VLAPlaylist
{
public:
    std::vector<int32_t> m_Entries;
};
