inline constexpr int kWordNewPlayer = 0;
inline constexpr int kWordResultLabel = 57;
