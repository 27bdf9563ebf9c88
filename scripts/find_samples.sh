# Sourced by the scripts: sets `samples` to the real sample files,
# MAXASE_SAMPLES_DIR, else the shared folder beside the checkout; empty when
# neither is there.
samples=${MAXASE_SAMPLES_DIR:-}
for candidate in "$(cd .. && pwd)/shared/samples" /work/shared/samples; do
    [ -n "$samples" ] && break
    [ -d "$candidate" ] && samples=$candidate
done
