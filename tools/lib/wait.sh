# The one deadline loop of the test and measuring scripts: every wait for a condition goes through
# it, so that each is bounded and polls alike. Sourced.

# within SECONDS COMMAND...: runs COMMAND until it succeeds, 20 times a second; false once SECONDS
# have passed without success. COMMAND runs in this shell, so what it sets stays set.
within() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
}
