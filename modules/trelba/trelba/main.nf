process TRELBA {
    tag "$meta.id"
    label 'process_single'

    conda "${moduleDir}/environment.yml"
    container "${ workflow.containerEngine in ['singularity', 'apptainer'] && !task.ext.singularity_pull_docker_container ?
        'https://depot.galaxyproject.org/singularity/trelba:1.0.0--h0000000_0' :
        'biocontainers/trelba:1.0.0--h0000000_0' }"

    input:
    tuple val(meta), path(cds)

    output:
    tuple val(meta), path("*.genes.tsv")  , emit: genes
    tuple val(meta), path("*.summary.tsv"), emit: summary
    tuple val("${task.process}"), val('trelba'), eval("Trelba -V | sed 's/^Trelba //'"), topic: versions, emit: versions_trelba

    when:
    task.ext.when == null || task.ext.when

    script:
    def args   = task.ext.args ?: ''
    def prefix = task.ext.prefix ?: "${meta.id}"
    def gcode  = meta.gcode ? "--gcode ${meta.gcode}" : ''
    // The genome is read from standard input so that --label puts the sample name, not
    // the staged file name, in the `file` column; compressed input is told by content.
    """
    Trelba \\
        $args \\
        $gcode \\
        -j $task.cpus \\
        --no-reports \\
        --file-column \\
        --label '${prefix}' \\
        --summary ${prefix}.summary.tsv \\
        -T ${prefix}.genes.tsv \\
        - < $cds
    """

    stub:
    def prefix = task.ext.prefix ?: "${meta.id}"
    """
    touch ${prefix}.genes.tsv ${prefix}.summary.tsv
    """
}
