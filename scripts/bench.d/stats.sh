# Helpers of scripts/bench: timing with the shell's own clock, and the
# median and spread of a list of figures.

# Milliseconds since the epoch, with three decimals, from bash's clock
# (no process is started to read it).
now_ms() {
  local t=${EPOCHREALTIME/./}
  echo "$((t / 1000)).$(printf '%03d' $((t % 1000)))"
}

# Milliseconds between two now_ms readings.
elapsed_ms() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f\n", b - a }'; }


# median, min and max of the figures in a file, one per line: "MED MIN MAX".
summary() {
  sort -g "$1" | awk 'NF { v[n++] = $1 } END {
    if (n == 0) { print "- - -"; exit }
    m = n % 2 ? v[(n - 1) / 2] : (v[n / 2 - 1] + v[n / 2]) / 2
    printf "%.3f %.3f %.3f\n", m, v[0], v[n - 1] }'
}

# A figure in ms for the table: "12.3 ms" or "1.23 s".
show_ms() {
  awk -v x="$1" 'BEGIN { if (x == "-") print "-"; else if (x >= 1000) printf "%.2f s", x / 1000;
                         else if (x >= 100) printf "%.0f ms", x; else printf "%.1f ms", x }'
}

# "median (min–max)" of a figures file.
cell() {
  local med lo hi
  read -r med lo hi < <(summary "$1")
  if [ "$med" = - ]; then echo "-"; return; fi
  # A run stopped at the cap counts as the cap: the figure is a lower bound.
  local over=
  [ -e "$1.capped" ] && over="≥ "
  echo "$over$(show_ms "$med") ($(show_ms "$lo")–$over$(show_ms "$hi"))"
}

median_of() { summary "$1" | cut -d' ' -f1; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-" || b == 0) print "-"; else printf "%.2f×", a / b }'; }
